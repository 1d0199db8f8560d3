# What tavo-cli says for damaged inputs and outputs it cannot write: the
# message on stderr and the exit status.

set(DMCLI_DIR ${CMAKE_CURRENT_BINARY_DIR}/damage_cli)
file(MAKE_DIRECTORY ${DMCLI_DIR})

# ---- damaged tester files, made from a sample when the tests run ---------
file(WRITE ${DMCLI_DIR}/setup.sh [=[
set -e
rm -rf ./*.O00 ./*.O01 Plain Count Miss Letters Cut
cp "$1" T.O00
head -c 500 T.O00 > Head.O00
head -c 1024 T.O00 > Bare.O00
head -c 11029 T.O00 > Short.O00
cp T.O00 Big.O00
printf '\377\177' | dd of=Big.O00 bs=1 seek=28 conv=notrunc 2>/dev/null
cp T.O00 Zero.O00
for at in 24 64 66; do printf '\000\000' | dd of=Zero.O00 bs=1 seek=$at conv=notrunc 2>/dev/null; done
mkdir Folder.O00
printf x > Plain
]=])

# ---- damaged exchange texts ------------------------------------------------
set(DMCLI_E "\r\n")
string(REPEAT "035.3" 144 DMCLI_LOAD)
string(REPEAT "040.0" 144 DMCLI_CUR)
string(REPEAT "0380" 144 DMCLI_VOL)
string(REPEAT "015.0" 144 DMCLI_POW)
string(REPEAT "010.0" 144 DMCLI_VAR)
set(DMCLI_POS "")
foreach(i RANGE 143)
  if(i LESS 72)
    string(APPEND DMCLI_POS "0.50")
  else()
    string(APPEND DMCLI_POS "2.50")
  endif()
endforeach()
string(REPEAT "abcd" 144 DMCLI_LETTERS)
function(dmcli_block out well count power)
  string(CONCAT text
    "[wellname]${DMCLI_E}${well}${DMCLI_E}[testdate]${DMCLI_E}2005-11-5${DMCLI_E}[count]${DMCLI_E}${count}${DMCLI_E}"
    "[gtsj]${DMCLI_E}2.00${DMCLI_E}6${DMCLI_E}${DMCLI_LOAD}${DMCLI_E}${DMCLI_POS}${DMCLI_E}${power}${DMCLI_E}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
set(DMCLI_GLSJ "[glsj]${DMCLI_E}${DMCLI_CUR}${DMCLI_E}${DMCLI_VOL}${DMCLI_E}${DMCLI_POW}${DMCLI_E}${DMCLI_VAR}${DMCLI_E}")
dmcli_block(DMCLI_A A 144 "${DMCLI_GLSJ}")
dmcli_block(DMCLI_B B 144 "")
dmcli_block(DMCLI_C C 144 "${DMCLI_GLSJ}")
dmcli_block(DMCLI_ABC B abc "${DMCLI_GLSJ}")
dmcli_block(DMCLI_L L 144
  "[glsj]${DMCLI_E}${DMCLI_CUR}${DMCLI_E}${DMCLI_LETTERS}${DMCLI_E}${DMCLI_POW}${DMCLI_E}${DMCLI_VAR}${DMCLI_E}")
file(WRITE ${DMCLI_DIR}/Miss.Txt "${DMCLI_A}${DMCLI_B}${DMCLI_C}")
file(WRITE ${DMCLI_DIR}/Count.Txt "${DMCLI_A}${DMCLI_ABC}")
file(WRITE ${DMCLI_DIR}/Letters.Txt "${DMCLI_L}")
file(WRITE ${DMCLI_DIR}/Plain.Txt "${DMCLI_A}")
file(WRITE ${DMCLI_DIR}/Cut.Txt "${DMCLI_A}${DMCLI_B}")

include(${CMAKE_CURRENT_LIST_DIR}/scripts/cli_expect.cmake)

add_test(NAME cli.damage.setup COMMAND sh setup.sh ${CMAKE_SOURCE_DIR}/samples/T7-15.O00)
set_tests_properties(cli.damage.setup PROPERTIES FIXTURES_SETUP damage_files WORKING_DIRECTORY ${DMCLI_DIR}
  LABELS cli)

function(damage_cli_test name)
  add_cli_expect_test(cli.damage.${name} ${DMCLI_DIR} ${ARGN})
  set_tests_properties(cli.damage.${name} PROPERTIES FIXTURES_REQUIRED damage_files RESOURCE_LOCK damage_cli)
endfunction()

# Truncated tester files: no header is an error and gives no object or
# block, missing samples a warning and the test of the records held.
damage_cli_test(cut_header RC 1 COMMAND analyze Head.O00
  ERR "^tavo-cli analyze: Head\\.O00: the file is shorter than its 1024-byte header\n$")
damage_cli_test(cut_header_export RC 1 COMMAND export -o HeadOut.Txt Head.O00
  OUT "^$" ERR "^tavo-cli export: Head\\.O00: the file is shorter than its 1024-byte header\n$")
damage_cli_test(cut_samples RC 0 COMMAND analyze Short.O00 OUT "^{[^\n]*\"Point_Num\":1000,[^\n]*}\n$"
  ERR "^tavo-cli analyze: Short\\.O00: warning: the file holds 1000 of the 3000 samples its header announces\n$")
# A header without samples is no test: after a whole test no object, not
# the test before under this name.
damage_cli_test(header_only RC 1 COMMAND analyze T.O00 Bare.O00 OUT "^{[^\n]*}\n$"
  ERR "^tavo-cli analyze: Bare\\.O00: the file holds its header but no whole sample record \\(the header announces 3000 samples\\): it is no test\n$")
# Absurd header words: read as far as they make sense.
damage_cli_test(point_num_32767 RC 0 COMMAND analyze Big.O00 OUT "\"Point_Num\":3000,"
  ERR "warning: the file holds 3000 of the 32767 samples")
# Rates of 0 in the header: the recording speed counts as 1.
damage_cli_test(header_rates_zero RC 0 COMMAND analyze Zero.O00 OUT "\"Rec_Speed\":1,")
damage_cli_test(folder_as_file RC 1 COMMAND analyze Folder.O00
  ERR "Folder\\.O00: cannot open the file \\(it is a folder\\)")
# Exchange texts: a block without a section, a count that is no number.
damage_cli_test(missing_section RC 1 COMMAND rebuild Miss.Txt OUT "^Miss/A\\.O00\n$"
  ERR "exchange file \"Miss\\.Txt\", line [0-9]+ \\(well \"B\"\\): a new block begins here, but the block before it has no \\[glsj\\] section")
damage_cli_test(count_not_a_number RC 1 COMMAND rebuild Count.Txt OUT "^Count/A\\.O00\n$"
  ERR "\\(well \"B\"\\): the count \"abc\" is not a number of points")
# A text that ends before its last block is whole: the block is named.
damage_cli_test(last_block_cut RC 1 COMMAND rebuild Cut.Txt OUT "^Cut/A\\.O00\n$"
  ERR "warning: exchange file \"Cut\\.Txt\", line [0-9]+ \\(well \"B\"\\): the file ends inside a block that has no \\[glsj\\] section")
damage_cli_test(letters_in_a_curve RC 0 COMMAND rebuild Letters.Txt OUT "^Letters/L\\.O00\n$")
# Outputs that cannot be written.
damage_cli_test(export_folder_is_a_file RC 1 COMMAND export -o Plain/Out.Txt T.O00
  ERR "cannot write the exchange file \"Plain/Out\\.Txt\": Not a directory")
damage_cli_test(export_to_a_device RC 1 COMMAND export -o /dev/full T.O00
  ERR "cannot write the exchange file \"/dev/full\": it is not an ordinary file")
damage_cli_test(rebuild_folder_is_a_file RC 1 COMMAND rebuild Plain.Txt
  ERR "cannot write the tester file \"Plain/A\\.O00\": Not a directory")
