# Runs `skedra-vcs copy IN OUT` and fails unless OUT has the same bytes as IN.
#   cmake -DTOOL=... -DIN=... -DOUT=... -P copy_compare.cmake
file(REMOVE "${OUT}")
execute_process(COMMAND "${TOOL}" copy "${IN}" "${OUT}" RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "skedra-vcs copy failed (${rc}): ${err}")
endif()
if(NOT err STREQUAL "")
  message(FATAL_ERROR "skedra-vcs copy reported: ${err}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${IN}" "${OUT}" RESULT_VARIABLE same)
if(NOT same EQUAL 0)
  message(FATAL_ERROR "${OUT} differs from ${IN}")
endif()
