# Smoke tests of `tavo-cli well`: the sample wells imported into a database
# of the test's own, listed, shown, exported as CSV and imported again, a bad
# file refused whole, and a damaged database reported.

set(WELLCLI_DIR ${CMAKE_CURRENT_BINARY_DIR}/well_cli)
file(MAKE_DIRECTORY ${WELLCLI_DIR})
file(WRITE ${WELLCLI_DIR}/Bad.csv
  "well,length_m,diameter_mm,pump_depth_m,plunger_mm\nNEW-1,500,19,1000,38\nNEW-1,500,2x,,\n")
file(WRITE ${WELLCLI_DIR}/Junk.sqlite "this is no database, but it is where one should be\n")
set(WELLCLI_SAMPLES ${CMAKE_SOURCE_DIR}/samples/wells.json)

include(${CMAKE_CURRENT_LIST_DIR}/scripts/cli_expect.cmake)

function(well_cli_test name)
  add_cli_step_test(well ${name} ${WELLCLI_DIR} ${ARGN})
  # No test may reach the user's own database.
  set_tests_properties(cli.well.${name} PROPERTIES ENVIRONMENT "TAVO_WELLS_DB=${WELLCLI_DIR}/Env.sqlite")
endfunction()

add_test(NAME cli.well.clean
  COMMAND ${CMAKE_COMMAND} -E rm -f W.sqlite Env.sqlite All.csv One.json)
set_tests_properties(cli.well.clean PROPERTIES FIXTURES_SETUP well_clean WORKING_DIRECTORY ${WELLCLI_DIR})

string(REPEAT "[^\n]+\n" 13 WELLCLI_13_LINES)
well_cli_test(import RC 0 SETS well_imported
  COMMAND well import --wells W.sqlite ${WELLCLI_SAMPLES}
  OUT "^${WELLCLI_13_LINES}$")
well_cli_test(list RC 0 REQUIRES well_imported SETS well_listed
  COMMAND --wells W.sqlite well list
  OUT "^${WELLCLI_13_LINES}$")
well_cli_test(show RC 0 REQUIRES well_imported SETS well_shown
  COMMAND well show --wells W.sqlite 杨12-5
  OUT "^{\n  \"well\": \"杨12-5\",\n  \"rods\": .*\"plunger_mm\": 32\\.0")
well_cli_test(export_csv RC 0 REQUIRES well_imported SETS well_exported
  COMMAND well --wells W.sqlite export -o All.csv)
# The CSV into the database that TAVO_WELLS_DB names.
well_cli_test(import_csv RC 0 REQUIRES well_exported SETS well_env
  COMMAND well import All.csv
  OUT "^${WELLCLI_13_LINES}$")
well_cli_test(export_json RC 0 REQUIRES well_env SETS well_one
  COMMAND well export -o One.json 北5-3 北5-3)
well_cli_test(import_json_again RC 0 REQUIRES well_one
  COMMAND well import --wells W.sqlite One.json
  OUT "^北5-3\n$")
well_cli_test(bad_import RC 1 REQUIRES well_imported SETS well_refused
  COMMAND well import --wells W.sqlite Bad.csv
  ERR "Bad\\.csv: line 3, column diameter_mm \\(well \"NEW-1\"\\): \"2x\" is not a number\n.*nothing was imported")
well_cli_test(after_bad_import RC 1 REQUIRES well_refused
  COMMAND well show --wells W.sqlite NEW-1
  ERR "no record of the well \"NEW-1\"")
# Removed after the commands that read the well.
well_cli_test(remove RC 0 REQUIRES "well_refused;well_exported;well_listed;well_shown" SETS well_removed
  COMMAND well remove --wells W.sqlite 杨12-5)
well_cli_test(remove_again RC 1 REQUIRES well_removed
  COMMAND well remove --wells W.sqlite 杨12-5
  ERR "no record of the well \"杨12-5\"")
well_cli_test(export_missing RC 1 REQUIRES well_imported
  COMMAND well export --wells W.sqlite -o Missing.json NO-SUCH-WELL
  ERR "no record of the well \"NO-SUCH-WELL\".*nothing was written")
well_cli_test(export_extension RC 1
  COMMAND well export -o All.txt
  ERR "neither \\.json nor \\.csv")
well_cli_test(damaged RC 1
  COMMAND well list --wells Junk.sqlite
  ERR "the well database \"Junk\\.sqlite\" is damaged")
well_cli_test(no_subcommand RC 2 COMMAND well)
well_cli_test(show_without_name RC 2 COMMAND well show)
