# cmake -DTAVO_CLI=... -DSOURCE_DIR=... -DWORK_DIR=... -P export_jobs_check.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(GLOB samples ${SOURCE_DIR}/samples/*.O* ${SOURCE_DIR}/samples/*.o*)
list(SORT samples)
# Every sample three times over, and a file that cannot be read among them.
set(files ${samples} ${WORK_DIR}/missing.O00 ${samples} ${samples})

function(export_to out)
  execute_process(COMMAND ${TAVO_CLI} export ${ARGN} -o ${out} ${files}
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 1)
    message(FATAL_ERROR "export ${ARGN}: exit ${rc}, expected 1 for the missing file\n${err}")
  endif()
  set(err_${out} "${err}" PARENT_SCOPE)
endfunction()

export_to(${WORK_DIR}/j1.Txt -j 1)
export_to(${WORK_DIR}/j2.Txt -j 2)
export_to(${WORK_DIR}/j5.Txt -j 5)
foreach(j j2 j5)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK_DIR}/j1.Txt ${WORK_DIR}/${j}.Txt
                  RESULT_VARIABLE same)
  if(NOT same EQUAL 0)
    message(FATAL_ERROR "export ${j} differs from one job")
  endif()
  if(NOT "${err_${WORK_DIR}/${j}.Txt}" STREQUAL "${err_${WORK_DIR}/j1.Txt}")
    message(FATAL_ERROR "messages of ${j} differ from one job:\n${err_${WORK_DIR}/${j}.Txt}")
  endif()
endforeach()

# A 2000-sample test after a 3000-sample one gives the block it gives alone.
execute_process(COMMAND ${TAVO_CLI} export -o ${WORK_DIR}/pair.Txt ${SOURCE_DIR}/samples/SYNPOUND.O00
                        ${SOURCE_DIR}/samples/杨15-9.O03 RESULT_VARIABLE rc1)
execute_process(COMMAND ${TAVO_CLI} export -o ${WORK_DIR}/alone.Txt ${SOURCE_DIR}/samples/杨15-9.O03
                RESULT_VARIABLE rc2)
if(NOT rc1 EQUAL 0 OR NOT rc2 EQUAL 0)
  message(FATAL_ERROR "export of the pair or the single file failed (${rc1}, ${rc2})")
endif()
file(READ ${WORK_DIR}/pair.Txt pair HEX)
file(READ ${WORK_DIR}/alone.Txt alone HEX)
string(LENGTH "${pair}" lp)
string(LENGTH "${alone}" la)
math(EXPR from "${lp} - ${la}")
string(SUBSTRING "${pair}" ${from} -1 tail)
if(la EQUAL 0 OR NOT tail STREQUAL alone)
  message(FATAL_ERROR "the block of 杨15-9.O03 depends on the file exported before it")
endif()
