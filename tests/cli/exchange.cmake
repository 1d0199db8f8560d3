# Smoke tests of `tavo-cli rebuild` and `tavo-cli export`: an exchange text
# written here is rebuilt into tester files, those are exported again, and
# the export is rebuilt once more.

set(EXCLI_DIR ${CMAKE_CURRENT_BINARY_DIR}/exchange_cli)
file(MAKE_DIRECTORY ${EXCLI_DIR})

# ---- the exchange text: two blocks of well W1, the second three-phase ----
set(EXCLI_E "\r\n")
string(REPEAT "035.3" 144 EXCLI_LOAD)
string(REPEAT "040.0" 144 EXCLI_CUR)
string(REPEAT "0380" 144 EXCLI_VOL)
string(REPEAT "015.0" 144 EXCLI_POW)
string(REPEAT "010.0" 144 EXCLI_VAR)
string(REPEAT "050.0" 144 EXCLI_POW3)
# Displacement: up from 0 m to 3 m and down again over the 144 points.
set(EXCLI_POS "")
foreach(i RANGE 143)
  if(i LESS 72)
    math(EXPR cm "${i} * 300 / 72")
  else()
    math(EXPR cm "(144 - ${i}) * 300 / 72")
  endif()
  math(EXPR m "${cm} / 100")
  math(EXPR frac "${cm} % 100")
  if(frac LESS 10)
    set(frac "0${frac}")
  endif()
  string(APPEND EXCLI_POS "${m}.${frac}")
endforeach()
set(EXCLI_BLOCK1
  "[wellname]${EXCLI_E}W1${EXCLI_E}[testdate]${EXCLI_E}2005-11-5${EXCLI_E}[count]${EXCLI_E}144${EXCLI_E}"
  "[gtsj]${EXCLI_E}1.50${EXCLI_E}6${EXCLI_E}${EXCLI_LOAD}${EXCLI_E}${EXCLI_POS}${EXCLI_E}"
  "[glsj]${EXCLI_E}${EXCLI_CUR}${EXCLI_E}${EXCLI_VOL}${EXCLI_E}${EXCLI_POW}${EXCLI_E}${EXCLI_VAR}${EXCLI_E}${EXCLI_E}")
set(EXCLI_BLOCK2
  "[wellname]${EXCLI_E}W1${EXCLI_E}[testdate]${EXCLI_E}2005-1-25${EXCLI_E}[count]${EXCLI_E}144${EXCLI_E}"
  "[gtsj]${EXCLI_E}3.00${EXCLI_E}5${EXCLI_E}${EXCLI_LOAD}${EXCLI_E}${EXCLI_POS}${EXCLI_E}"
  "[glsj]${EXCLI_E}${EXCLI_CUR}${EXCLI_E}${EXCLI_CUR}${EXCLI_E}${EXCLI_CUR}${EXCLI_E}"
  "${EXCLI_VOL}${EXCLI_E}${EXCLI_VOL}${EXCLI_E}${EXCLI_VOL}${EXCLI_E}"
  "${EXCLI_POW3}${EXCLI_E}${EXCLI_POW3}${EXCLI_E}${EXCLI_POW3}${EXCLI_E}"
  "${EXCLI_POW3}${EXCLI_E}${EXCLI_POW3}${EXCLI_E}${EXCLI_POW3}${EXCLI_E}${EXCLI_E}")
string(CONCAT EXCLI_TEXT ${EXCLI_BLOCK1} ${EXCLI_BLOCK2})
file(WRITE ${EXCLI_DIR}/In.Txt "${EXCLI_TEXT}")
# A block whose stroke rate is 0, after a good one.
string(REPLACE "[gtsj]${EXCLI_E}3.00${EXCLI_E}5${EXCLI_E}" "[gtsj]${EXCLI_E}3.00${EXCLI_E}0${EXCLI_E}"
  EXCLI_BAD "${EXCLI_TEXT}")
file(WRITE ${EXCLI_DIR}/Bad.Txt "${EXCLI_BAD}")
file(WRITE ${EXCLI_DIR}/NoExtension "${EXCLI_TEXT}")

include(${CMAKE_CURRENT_LIST_DIR}/scripts/cli_expect.cmake)

function(exchange_cli_test name)
  add_cli_step_test(exchange ${name} ${EXCLI_DIR} ${ARGN})
endfunction()

# Every run starts without the folders and files the tests write.
add_test(NAME cli.exchange.clean
  COMMAND ${CMAKE_COMMAND} -E rm -rf In Bad Out Out.Txt Missing Samples Samples.Txt)
set_tests_properties(cli.exchange.clean PROPERTIES FIXTURES_SETUP exchange_clean WORKING_DIRECTORY ${EXCLI_DIR})

exchange_cli_test(rebuild RC 0 SETS exchange_rebuilt
  COMMAND rebuild In.Txt
  OUT "^In/W1\\.O00\nIn/W1\\.O01\n$")
exchange_cli_test(export RC 0 REQUIRES exchange_rebuilt SETS exchange_exported
  COMMAND export -o Out.Txt In/W1.O00 In/W1.O01)
exchange_cli_test(rebuild_export RC 0 REQUIRES exchange_exported
  COMMAND rebuild --json Out.Txt
  OUT "^{[^\n]*\"Well_Name\":\"W1\"[^\n]*\"file\":\"Out/W1\\.O00\"[^\n]*}\n{[^\n]*\"file\":\"Out/W1\\.O01\"[^\n]*}\n$")
exchange_cli_test(export_missing_input RC 1 REQUIRES exchange_rebuilt
  COMMAND export -o Out.Txt Missing.O00
  ERR "tavo-cli export: Missing\\.O00: ")
exchange_cli_test(export_unwritable RC 1 REQUIRES exchange_rebuilt
  COMMAND export -o Missing/Out.Txt In/W1.O00
  ERR "cannot write the exchange file \"Missing/Out\\.Txt\"")
exchange_cli_test(rebuild_missing RC 1
  COMMAND rebuild Missing.Txt
  ERR "cannot read the exchange file \"Missing\\.Txt\"")
exchange_cli_test(rebuild_no_extension RC 1
  COMMAND rebuild NoExtension
  ERR "has no extension")
exchange_cli_test(rebuild_rate_zero RC 1
  COMMAND rebuild Bad.Txt
  OUT "^Bad/W1\\.O00\n$"
  ERR "line [0-9]+ \\(well \"W1\"\\): the stroke rate \"0\" is 0")

# The sample tests: every one exported, and rebuilt again.
file(GLOB EXCLI_SAMPLES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/samples/*.[Oo][0-9][0-9])
list(LENGTH EXCLI_SAMPLES EXCLI_SAMPLE_COUNT)
if(EXCLI_SAMPLE_COUNT GREATER 0)
  string(REPEAT "Samples/[^\n]+\\.O[0-9][0-9]\n" ${EXCLI_SAMPLE_COUNT} EXCLI_SAMPLE_LINES)
  exchange_cli_test(export_samples RC 0 SETS exchange_samples
    COMMAND export -o Samples.Txt ${EXCLI_SAMPLES})
  exchange_cli_test(rebuild_samples RC 0 REQUIRES exchange_samples
    COMMAND rebuild Samples.Txt
    OUT "^${EXCLI_SAMPLE_LINES}$")
endif()
