# The Windows release: one zip with the programs, the manual pages as text and a
# short README. `cmake --build <dir> --target zorvik_windows_zip`.
find_program(ZORVIK_GROFF groff REQUIRED)
set(zip_name zorvik-${PROJECT_VERSION}-windows-x86_64)
set(zip_stage ${CMAKE_BINARY_DIR}/${zip_name})
set(zip_file ${CMAKE_BINARY_DIR}/${zip_name}.zip)
set(zip_commands
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${zip_stage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${zip_stage}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:zorvik-cli> ${zip_stage}/
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/windows/README.txt ${zip_stage}/)
set(zip_depends zorvik-cli)
set(zip_pages zorvik-cli)
if(TARGET zorvik-sim)
  list(APPEND zip_commands COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:zorvik-sim> ${zip_stage}/)
  list(APPEND zip_depends zorvik-sim)
  list(APPEND zip_pages zorvik-sim)
endif()
foreach(page IN LISTS zip_pages)
  # Plain text: no overstrike, bold or underline sequences.
  list(APPEND zip_commands
       COMMAND sh -c "${ZORVIK_GROFF} -man -Tascii -P-cbou ${PROJECT_SOURCE_DIR}/packaging/man/${page}.1 > ${zip_stage}/${page}.txt")
endforeach()
add_custom_target(zorvik_windows_zip
  ${zip_commands}
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR} ${CMAKE_COMMAND} -E tar cf ${zip_file} --format=zip ${zip_name}
  DEPENDS ${zip_depends}
  BYPRODUCTS ${zip_file}
  COMMENT "Packing ${zip_name}.zip"
  VERBATIM)
