add_test(NAME cli.help COMMAND tavo-cli --help)
add_test(NAME cli.no_command COMMAND tavo-cli)
set_tests_properties(cli.no_command PROPERTIES WILL_FAIL TRUE)

# tavo-cli starts without loading Qt: only tavo-draw, which draws for render
# and report, links it.
find_program(TAVO_READELF readelf)
if(TAVO_READELF)
  add_test(NAME cli.no_qt COMMAND ${TAVO_READELF} -d $<TARGET_FILE:tavo-cli>)
  set_tests_properties(cli.no_qt PROPERTIES LABELS cli PASS_REGULAR_EXPRESSION "NEEDED" FAIL_REGULAR_EXPRESSION "libQt")
endif()
