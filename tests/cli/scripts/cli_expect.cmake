# add_cli_expect_test(NAME DIR RC [OUT regex] [ERR regex] COMMAND args...):
# a test that runs tavo-cli with `args` in DIR and checks its exit status,
# stdout and stderr with expect.cmake. Returns nothing; set properties on NAME.
include_guard(GLOBAL)
set(TAVO_CLI_EXPECT ${CMAKE_CURRENT_LIST_DIR}/expect.cmake)

function(add_cli_expect_test name dir)
  cmake_parse_arguments(T "" "RC;OUT;ERR" "COMMAND" ${ARGN})
  set(defs -DRC=${T_RC})
  if(DEFINED T_OUT)
    list(APPEND defs "-DOUT=${T_OUT}")
  endif()
  if(DEFINED T_ERR)
    list(APPEND defs "-DERR=${T_ERR}")
  endif()
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} ${defs} -P ${TAVO_CLI_EXPECT} -- $<TARGET_FILE:tavo-cli> ${T_COMMAND}
    WORKING_DIRECTORY ${dir})
  set_tests_properties(${name} PROPERTIES LABELS cli)
endfunction()
