# tavo-cli --version: the program's name and the project's version, status 0.
string(REPLACE "." "\\." TAVO_VERSION_REGEX "${PROJECT_VERSION}")
add_test(NAME cli.version COMMAND tavo-cli --version)
set_tests_properties(cli.version PROPERTIES LABELS cli PASS_REGULAR_EXPRESSION "^tavo-cli ${TAVO_VERSION_REGEX}\n$")
