# Runs glosset-dict build for the default system dictionary. Skipped lines are
# expected (exit 1): their list goes to SKIPPED, their count by reason to the log.
execute_process(
  COMMAND ${GLOSSET_DICT} build --force --layout chain ${OUT} ${SOURCE}
  RESULT_VARIABLE status
  ERROR_FILE ${SKIPPED})
file(STRINGS ${SKIPPED} summary REGEX "lines skipped")
if(NOT status EQUAL 0 AND NOT status EQUAL 1)
  file(READ ${SKIPPED} problem LIMIT 2000)
  message(FATAL_ERROR "glosset-dict build failed (${status}):\n${problem}")
endif()
message(STATUS "${OUT}: ${summary} (the lines: ${SKIPPED})")
