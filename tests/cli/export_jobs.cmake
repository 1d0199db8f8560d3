# tavo-cli export -j: the same bytes whatever the number of jobs, and each
# block independent of the files before it.
add_test(NAME cli.export.jobs
  COMMAND ${CMAKE_COMMAND} -DTAVO_CLI=$<TARGET_FILE:tavo-cli> -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
          -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/export_jobs -P ${CMAKE_CURRENT_LIST_DIR}/scripts/export_jobs_check.cmake)
set_tests_properties(cli.export.jobs PROPERTIES LABELS cli)
