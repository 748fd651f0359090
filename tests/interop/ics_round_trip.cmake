# Runs `skedra-vcs to-ics IN ICS` and `skedra-vcs from-ics ICS OUT` and fails
# unless OUT has the same bytes as IN.
#   cmake -DTOOL=... -DIN=... -DICS=... -DOUT=... -P ics_round_trip.cmake
file(REMOVE "${ICS}" "${OUT}")
foreach(step "to-ics;${IN};${ICS}" "from-ics;${ICS};${OUT}")
  execute_process(COMMAND "${TOOL}" ${step} RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "skedra-vcs ${step} failed (${rc}): ${err}")
  endif()
endforeach()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${IN}" "${OUT}" RESULT_VARIABLE same)
if(NOT same EQUAL 0)
  message(FATAL_ERROR "${OUT} differs from ${IN}")
endif()
