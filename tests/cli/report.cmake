# `tavo-cli report`: pages and texts of the PDF, read back with pdftotext.
if(NOT TAVO_BUILD_APP)
  return()
endif()
find_program(TAVO_PDFTOTEXT pdftotext)
if(NOT TAVO_PDFTOTEXT)
  message(STATUS "pdftotext not found: the report tests are left out")
  return()
endif()

set(TAVO_REPORT_DIR ${CMAKE_CURRENT_BINARY_DIR}/report_out)
set(TAVO_REPORT_CHECK ${CMAKE_CURRENT_BINARY_DIR}/report_check.cmake)
# Two samples and a file cut inside its header, in the middle; then every
# page's text is checked: whole analyses around the page that says why.
file(WRITE ${TAVO_REPORT_CHECK} [=[
file(REMOVE_RECURSE ${DIR})
file(MAKE_DIRECTORY ${DIR})
file(WRITE ${DIR}/cut.O00 "only a few bytes")
execute_process(COMMAND ${CLI} report -j 2 --compare -o ${DIR}/r.pdf ${A} ${DIR}/cut.O00 ${B}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR NOT err MATCHES "cut.O00: the file is shorter than its 1024-byte header"
   OR err MATCHES "XDG_RUNTIME_DIR")
  message(FATAL_ERROR "expected exit 1 and a message for the cut file: ${rc} ${err}")
endif()
function(page n out)
  execute_process(COMMAND ${PDFTOTEXT} -f ${n} -l ${n} ${DIR}/r.pdf - OUTPUT_VARIABLE t RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "pdftotext cannot read page ${n}")
  endif()
  set(${out} "${t}" PARENT_SCOPE)
endfunction()
foreach(n 1 3)
  page(${n} t)
  foreach(want "抽油机井测试分析报告" "电能参数曲线" "负载\\(kN\\)" "主要参数" "实测冲次" "周期校验" "校验周期"
               "平衡分析" "功率比（下/上）" "判定" "合格范围 80%–120%，传动效率 85%" "第 ${n} 页" "版本 3\\.20")
    if(NOT t MATCHES "${want}")
      message(FATAL_ERROR "page ${n} lacks ${want}:\n${t}")
    endif()
  endforeach()
endforeach()
page(2 t)
if(NOT t MATCHES "本文件没有分析结果" OR NOT t MATCHES "文件短于 1024 字节" OR t MATCHES "周期校验")
  message(FATAL_ERROR "page 2 should say why it has no analysis:\n${t}")
endif()
page(4 t)
if(NOT t MATCHES "测试对比" OR NOT t MATCHES "SYN-FULL" OR NOT t MATCHES "W-101" OR NOT t MATCHES "功率比")
  message(FATAL_ERROR "page 4 should compare the two tests:\n${t}")
endif()
execute_process(COMMAND ${PDFTOTEXT} -f 5 -l 5 ${DIR}/r.pdf - RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(rc EQUAL 0)
  message(FATAL_ERROR "the report has more than 4 pages")
endif()

# A file cut inside its samples is marked incomplete on its page and in the
# comparison's legend, with analyze's warning; a header without samples is
# no test: a page that says why, exit 1.
execute_process(COMMAND head -c 13024 ${A} OUTPUT_FILE ${DIR}/short.O00)
execute_process(COMMAND head -c 1024 ${A} OUTPUT_FILE ${DIR}/bare.O00)
execute_process(COMMAND ${CLI} report --compare -o ${DIR}/s.pdf ${DIR}/short.O00 ${B}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT err MATCHES "short.O00: warning: the file holds 1200 of the 3000 samples")
  message(FATAL_ERROR "expected exit 0 and the warning for the short file: ${rc} ${err}")
endif()
execute_process(COMMAND ${PDFTOTEXT} -f 1 -l 1 ${DIR}/s.pdf - OUTPUT_VARIABLE t)
if(NOT t MATCHES "不完整的测试")
  message(FATAL_ERROR "the short file's page should say it is incomplete:\n${t}")
endif()
execute_process(COMMAND ${PDFTOTEXT} -f 3 -l 3 ${DIR}/s.pdf - OUTPUT_VARIABLE t)
if(NOT t MATCHES "不完整：1200/3000")
  message(FATAL_ERROR "the comparison's legend should mark the short file:\n${t}")
endif()
execute_process(COMMAND ${CLI} report -o ${DIR}/b.pdf ${DIR}/bare.O00 RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR NOT err MATCHES "bare.O00: the file holds its header but no whole sample record")
  message(FATAL_ERROR "expected exit 1 for a header without samples: ${rc} ${err}")
endif()
execute_process(COMMAND ${CLI} render --view compare -o ${DIR}/c.json ${DIR}/short.O00 ${B}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
file(READ ${DIR}/c.json ops)
if(NOT rc EQUAL 0 OR NOT err MATCHES "short.O00: warning: the file holds 1200" OR NOT ops MATCHES "不完整：1200/3000")
  message(FATAL_ERROR "the comparison should mark the short file: ${rc} ${err}")
endif()
execute_process(COMMAND ${CLI} render --view compare -o ${DIR}/d.json ${DIR}/bare.O00 ${B}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR NOT err MATCHES "no whole sample record")
  message(FATAL_ERROR "a header without samples cannot be compared: ${rc} ${err}")
endif()
]=])
add_test(NAME cli.report.pages
         COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:tavo-cli> -DPDFTOTEXT=${TAVO_PDFTOTEXT}
                 -DDIR=${TAVO_REPORT_DIR} -DA=${CMAKE_SOURCE_DIR}/samples/SYNFULL.O00
                 -DB=${CMAKE_SOURCE_DIR}/samples/w101.o00 -P ${TAVO_REPORT_CHECK})
set_tests_properties(cli.report.pages PROPERTIES LABELS cli ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
add_test(NAME cli.report.unwritable
         COMMAND tavo-cli report -o ${TAVO_REPORT_DIR}/no/such/dir/r.pdf ${CMAKE_SOURCE_DIR}/samples/SYNFULL.O00)
set_tests_properties(cli.report.unwritable PROPERTIES WILL_FAIL TRUE LABELS cli ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
