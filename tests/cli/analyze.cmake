# tavo-cli analyze: exit statuses, messages, and the golden output.
set(TAVO_ANALYZE_RUN ${CMAKE_COMMAND} -DTAVO_CLI=$<TARGET_FILE:tavo-cli> -DSOURCE_DIR=${CMAKE_SOURCE_DIR})
set(TAVO_ANALYZE_SCRIPT -P ${CMAKE_SOURCE_DIR}/tests/golden/run_analyze.cmake)

add_test(NAME cli.analyze.help COMMAND tavo-cli analyze --help)
set_tests_properties(cli.analyze.help PROPERTIES PASS_REGULAR_EXPRESSION "--arrays.*Exit status")

add_test(NAME cli.analyze.usage COMMAND ${TAVO_ANALYZE_RUN} "-DARGS=" -DEXPECT_RC=2 ${TAVO_ANALYZE_SCRIPT})
add_test(NAME cli.analyze.unknown_option
  COMMAND ${TAVO_ANALYZE_RUN} "-DARGS=--bogus\;SAMPLES" -DEXPECT_RC=2 ${TAVO_ANALYZE_SCRIPT})

# A file that cannot be opened: a message naming it, no object, status 1,
# and the files around it are still analysed.
add_test(NAME cli.analyze.missing_file
  COMMAND ${TAVO_ANALYZE_RUN} "-DARGS=samples/SYNFULL.O00\;samples/no-such-file.O00\;samples/DX-08.O00"
          -DEXPECT_RC=1 -DEXPECT_LINES=2 "-DSTDERR_REGEX=no-such-file.O00: cannot open" ${TAVO_ANALYZE_SCRIPT})

# One object per sample file.
add_test(NAME cli.analyze.samples
  COMMAND ${TAVO_ANALYZE_RUN} -DARGS=SAMPLES -DEXPECT_RC=0 ${TAVO_ANALYZE_SCRIPT})

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/golden/analyze.jsonl)
  add_test(NAME cli.analyze.golden
    COMMAND ${TAVO_ANALYZE_RUN} -DGOLDEN=tests/golden/analyze.jsonl ${TAVO_ANALYZE_SCRIPT})
endif()
set_tests_properties(cli.analyze.usage cli.analyze.unknown_option cli.analyze.missing_file cli.analyze.samples
  PROPERTIES LABELS cli)
