# Smoke tests of `tavo-cli render`: every view into every file type.
set(TAVO_RENDER_SAMPLE ${CMAKE_SOURCE_DIR}/samples/w101.o00)
set(TAVO_RENDER_OUT ${CMAKE_CURRENT_BINARY_DIR}/render_out)
set(TAVO_RENDER_CHECK ${CMAKE_CURRENT_BINARY_DIR}/render_check.cmake)

# Runs the command line, then checks that the output exists, is not empty
# and starts as its type says.
file(WRITE ${TAVO_RENDER_CHECK} [=[
file(MAKE_DIRECTORY ${OUT_DIR})
set(out ${OUT_DIR}/${NAME})
file(REMOVE ${out})
separate_arguments(extra UNIX_COMMAND "${ARGS}")
execute_process(COMMAND ${CLI} render ${extra} -o ${out} ${IN}
                RESULT_VARIABLE rc OUTPUT_VARIABLE so ERROR_VARIABLE se)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "tavo-cli render failed (${rc}): ${se}")
endif()
if(NOT EXISTS ${out})
  message(FATAL_ERROR "no output ${out}")
endif()
file(SIZE ${out} size)
if(size EQUAL 0)
  message(FATAL_ERROR "empty output ${out}")
endif()
get_filename_component(ext ${out} LAST_EXT)
file(READ ${out} head LIMIT 8 HEX)
if(ext STREQUAL ".png" AND NOT head STREQUAL "89504e470d0a1a0a")
  message(FATAL_ERROR "not a PNG: ${head}")
elseif(ext STREQUAL ".pdf" AND NOT head MATCHES "^25504446")
  message(FATAL_ERROR "not a PDF: ${head}")
elseif(ext STREQUAL ".svg")
  file(READ ${out} body)
  if(NOT body MATCHES "<svg")
    message(FATAL_ERROR "not an SVG")
  endif()
elseif(ext STREQUAL ".json")
  file(STRINGS ${out} lines)
  list(GET lines 0 first)
  if(NOT first MATCHES "^{\"")
    message(FATAL_ERROR "not one JSON object a line: ${first}")
  endif()
endif()
if(DEFINED EXPECT)
  file(READ ${out} body)
  if(NOT body MATCHES "${EXPECT}")
    message(FATAL_ERROR "output lacks ${EXPECT}")
  endif()
endif()
]=])

set(TAVO_RENDER_TYPES json)
if(TAVO_BUILD_APP)
  list(APPEND TAVO_RENDER_TYPES png svg pdf)
endif()
foreach(view chart table card)
  foreach(type ${TAVO_RENDER_TYPES})
    add_test(NAME cli.render.${view}.${type}
             COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:tavo-cli> -DIN=${TAVO_RENDER_SAMPLE}
                     -DOUT_DIR=${TAVO_RENDER_OUT} -DNAME=${view}.${type} "-DARGS=--view ${view}"
                     -P ${TAVO_RENDER_CHECK})
    set_tests_properties(cli.render.${view}.${type} PROPERTIES LABELS cli)
  endforeach()
endforeach()

# A manual cycle redraws the chart over that many samples: the voltage curve
# is there, in its colour.
add_test(NAME cli.render.chart.cycle_json
         COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:tavo-cli> -DIN=${TAVO_RENDER_SAMPLE}
                 -DOUT_DIR=${TAVO_RENDER_OUT} -DNAME=cycle.json "-DARGS=--view chart --cycle 0400"
                 "-DEXPECT=\"color\":13,\"op\":\"line_to\"" -P ${TAVO_RENDER_CHECK})
if(TAVO_BUILD_APP)
  add_test(NAME cli.render.card.scaled_png
           COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:tavo-cli> -DIN=${TAVO_RENDER_SAMPLE}
                   -DOUT_DIR=${TAVO_RENDER_OUT} -DNAME=card_x3.png "-DARGS=--view card --cycle 400 --scale 3"
                   -P ${TAVO_RENDER_CHECK})
endif()

# Refusals: a cycle outside 1..3000, an unknown picture type, a missing file.
add_test(NAME cli.render.bad_cycle
         COMMAND tavo-cli render --cycle 3001 -o ${TAVO_RENDER_OUT}/bad.json ${TAVO_RENDER_SAMPLE})
add_test(NAME cli.render.bad_type
         COMMAND tavo-cli render -o ${TAVO_RENDER_OUT}/bad.bmp ${TAVO_RENDER_SAMPLE})
add_test(NAME cli.render.missing_file
         COMMAND tavo-cli render -o ${TAVO_RENDER_OUT}/bad.json ${TAVO_RENDER_OUT}/no-such-file.o00)
set_tests_properties(cli.render.bad_cycle cli.render.bad_type cli.render.missing_file
                     PROPERTIES WILL_FAIL TRUE LABELS cli)

# Two tests compared: both legends in the operations, a picture of its own size.
foreach(type ${TAVO_RENDER_TYPES})
  set(expect)
  if(type STREQUAL "json")
    set(expect "-DEXPECT=2. W-101")
  endif()
  add_test(NAME cli.render.compare.${type}
           COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:tavo-cli> -DIN=${TAVO_RENDER_SAMPLE}
                   -DOUT_DIR=${TAVO_RENDER_OUT} -DNAME=compare.${type}
                   "-DARGS=--view compare ${CMAKE_SOURCE_DIR}/samples/DX-08.O00" ${expect}
                   -P ${TAVO_RENDER_CHECK})
  set_tests_properties(cli.render.compare.${type} PROPERTIES LABELS cli)
endforeach()
add_test(NAME cli.render.two_files_one_view
         COMMAND tavo-cli render -o ${TAVO_RENDER_OUT}/bad.json ${TAVO_RENDER_SAMPLE} ${TAVO_RENDER_SAMPLE})
set_tests_properties(cli.render.two_files_one_view PROPERTIES WILL_FAIL TRUE LABELS cli)
