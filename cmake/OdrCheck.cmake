# With ZORVIK_ODR_CHECK, every library is compiled to link-time-optimisation code
# and the target odr_check links all of them, whole, into one relocatable object
# with -Werror=odr: two different types of one name anywhere in the program (the
# same struct name in two headers, say) fail the build. odr_check_detects first
# proves on a known pair of files that the compiler still reports such a pair.
option(ZORVIK_ODR_CHECK "Check the One Definition Rule across all libraries (GCC link-time optimisation)" OFF)

if(ZORVIK_ODR_CHECK)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    message(FATAL_ERROR "ZORVIK_ODR_CHECK needs GCC (its -Wodr works on link-time-optimisation code)")
  endif()
  add_compile_options(-flto=auto)
  set(ZORVIK_ODR_FLAGS -std=c++20 -flto=auto -Werror=odr -r -nostdlib -flinker-output=nolto-rel)
endif()

function(zorvik_odr_check)
  if(NOT ZORVIK_ODR_CHECK)
    return()
  endif()
  set(libraries)
  foreach(lib zorvik_base zorvik_base_qt zorvik_resources zorvik_link zorvik_settings zorvik_settings_qt
              zorvik_cmdtest zorvik_cmdtest_qt zorvik_app zorvik_app_qt zorvik_sim zorvik_cli)
    if(TARGET ${lib})
      get_target_property(type ${lib} TYPE)
      if(type STREQUAL "STATIC_LIBRARY")
        list(APPEND libraries ${lib})
        list(APPEND files $<TARGET_FILE:${lib}>)
      endif()
    endif()
  endforeach()
  set(fixtures ${PROJECT_SOURCE_DIR}/tests/odr)
  string(JOIN " " flags_text ${ZORVIK_ODR_FLAGS})
  add_custom_command(
    OUTPUT odr_check_detects.stamp
    COMMAND ${CMAKE_COMMAND} -DCXX=${CMAKE_CXX_COMPILER} "-DFLAGS=${flags_text}"
            -DFIRST=${fixtures}/FirstShape.cpp -DSECOND=${fixtures}/SecondShape.cpp
            -DOUT=${CMAKE_CURRENT_BINARY_DIR}/odr_check_detects.o -P ${fixtures}/ExpectViolation.cmake
    COMMAND ${CMAKE_COMMAND} -E touch odr_check_detects.stamp
    DEPENDS ${fixtures}/FirstShape.cpp ${fixtures}/SecondShape.cpp ${fixtures}/ExpectViolation.cmake
    COMMENT "Checking that the compiler reports a One Definition Rule violation"
    VERBATIM)
  add_custom_command(
    OUTPUT odr_check.o
    COMMAND ${CMAKE_CXX_COMPILER} ${ZORVIK_ODR_FLAGS} -Wl,--whole-archive ${files} -Wl,--no-whole-archive
            -o odr_check.o
    DEPENDS ${libraries} odr_check_detects.stamp
    COMMENT "Checking the One Definition Rule across ${libraries}"
    COMMAND_EXPAND_LISTS VERBATIM)
  add_custom_target(odr_check ALL DEPENDS odr_check.o)
endfunction()
