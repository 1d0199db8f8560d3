# tavo-cli inspect: the keys and nulls of its objects, -j, the band option;
# --period verified leaves tests whose period is confirmed as they were.
add_test(NAME cli.inspect.output
  COMMAND ${CMAKE_COMMAND} -DTAVO_CLI=$<TARGET_FILE:tavo-cli> -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
          -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/inspect -P ${CMAKE_CURRENT_LIST_DIR}/scripts/condition_check.cmake)
# Every sample's period is confirmed: the golden output stands.
file(GLOB TAVO_INSPECT_SAMPLES RELATIVE ${CMAKE_SOURCE_DIR} CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/samples/*.[oO]*)
list(SORT TAVO_INSPECT_SAMPLES)
string(REPLACE ";" "\\;" TAVO_INSPECT_SAMPLE_ARGS "${TAVO_INSPECT_SAMPLES}")
add_test(NAME cli.analyze.golden_period_verified
  COMMAND ${CMAKE_COMMAND} -DTAVO_CLI=$<TARGET_FILE:tavo-cli> -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
          "-DARGS=--arrays\;--period\;verified\;${TAVO_INSPECT_SAMPLE_ARGS}" -DGOLDEN=tests/golden/analyze.jsonl
          -P ${CMAKE_SOURCE_DIR}/tests/golden/run_analyze.cmake)
set_tests_properties(cli.inspect.output cli.analyze.golden_period_verified PROPERTIES LABELS cli)
