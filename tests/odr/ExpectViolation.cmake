# Links FIRST and SECOND with FLAGS and succeeds only when the compiler refuses them
# for a One Definition Rule violation.
separate_arguments(flags UNIX_COMMAND "${FLAGS}")
execute_process(COMMAND ${CXX} ${flags} ${FIRST} ${SECOND} -o ${OUT}
                RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_VARIABLE output)
if(result EQUAL 0)
  message(FATAL_ERROR "the compiler linked two different definitions of one type without an error")
endif()
if(NOT errors MATCHES "One Definition Rule")
  message(FATAL_ERROR "the link failed, but not for the One Definition Rule:\n${errors}")
endif()
