# Runs `tavo-cli analyze` and checks what it did. Used by the ctest entries
# of tests/cli/analyze.cmake, and to regenerate the golden output:
#
#   cmake -DTAVO_CLI=build/tavo-cli -DSOURCE_DIR=. -DGOLDEN=tests/golden/analyze.jsonl \
#         -DREGENERATE=1 -P tests/golden/run_analyze.cmake
#
# Variables: TAVO_CLI, SOURCE_DIR (working directory), ARGS (list; the word
# SAMPLES stands for every sample file, sorted), EXPECT_RC, GOLDEN (file the
# output must equal), EXPECT_LINES, STDERR_REGEX, REGENERATE.
cmake_minimum_required(VERSION 3.25)

get_filename_component(SOURCE_DIR ${SOURCE_DIR} ABSOLUTE)
get_filename_component(TAVO_CLI ${TAVO_CLI} ABSOLUTE)
if(NOT DEFINED ARGS)
  set(ARGS --arrays SAMPLES)
endif()
if(NOT DEFINED EXPECT_RC)
  set(EXPECT_RC 0)
endif()

file(GLOB samples RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/samples/*.[oO]*)
list(SORT samples)
set(args)
foreach(a IN LISTS ARGS)
  if(a STREQUAL "SAMPLES")
    list(APPEND args ${samples})
  else()
    list(APPEND args ${a})
  endif()
endforeach()

execute_process(COMMAND ${TAVO_CLI} analyze ${args}
  WORKING_DIRECTORY ${SOURCE_DIR}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)

if(REGENERATE)
  file(WRITE ${GOLDEN} "${out}")
  message(STATUS "wrote ${GOLDEN}")
  return()
endif()

if(NOT rc STREQUAL EXPECT_RC)
  message(FATAL_ERROR "exit status ${rc}, expected ${EXPECT_RC}\nstderr: ${err}")
endif()
if(DEFINED STDERR_REGEX AND NOT err MATCHES "${STDERR_REGEX}")
  message(FATAL_ERROR "stderr does not match ${STDERR_REGEX}: ${err}")
endif()
if(DEFINED EXPECT_LINES)
  string(REGEX MATCHALL "\n" nl "${out}")
  list(LENGTH nl n)
  if(NOT n EQUAL EXPECT_LINES)
    message(FATAL_ERROR "${n} lines of output, expected ${EXPECT_LINES}")
  endif()
endif()
if(DEFINED GOLDEN)
  if(IS_ABSOLUTE ${GOLDEN})
    set(golden ${GOLDEN})
  else()
    set(golden ${SOURCE_DIR}/${GOLDEN})
  endif()
  file(READ ${golden} expected)
  if(NOT out STREQUAL expected)
    get_filename_component(actual_file ${golden} NAME)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${actual_file}.actual "${out}")
    message(FATAL_ERROR "output differs from ${golden}; the actual output is in "
                        "${CMAKE_CURRENT_BINARY_DIR}/${actual_file}.actual")
  endif()
endif()
