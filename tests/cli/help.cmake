add_test(NAME cli.help COMMAND tavo-cli --help)
add_test(NAME cli.no_command COMMAND tavo-cli)
set_tests_properties(cli.no_command PROPERTIES WILL_FAIL TRUE)
