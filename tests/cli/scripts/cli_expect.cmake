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

# add_cli_step_test(GROUP NAME DIR RC [OUT regex] [ERR regex] [REQUIRES fixtures]
#                   [SETS fixtures] COMMAND args...): the test cli.GROUP.NAME of a
# sequence that works on the files of DIR: it needs the fixture GROUP_clean
# (the step that empties DIR) and those it REQUIRES, and sets up those it SETS.
function(add_cli_step_test group name dir)
  cmake_parse_arguments(T "" "RC;OUT;ERR" "COMMAND;REQUIRES;SETS" ${ARGN})
  set(checks RC ${T_RC})
  foreach(k OUT ERR)
    if(DEFINED T_${k})
      list(APPEND checks ${k} "${T_${k}}")
    endif()
  endforeach()
  add_cli_expect_test(cli.${group}.${name} ${dir} ${checks} COMMAND ${T_COMMAND})
  set_tests_properties(cli.${group}.${name} PROPERTIES FIXTURES_REQUIRED "${group}_clean;${T_REQUIRES}")
  if(T_SETS)
    set_tests_properties(cli.${group}.${name} PROPERTIES FIXTURES_SETUP "${T_SETS}")
  endif()
endfunction()
