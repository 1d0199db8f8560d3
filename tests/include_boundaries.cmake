# Fails when a core folder includes a header of a folder it may not use.
# Each core library names the libraries it depends on (tavo_core_library's
# DEPENDS); its folder may include those folders' headers and its own, and
# nothing of the folders above the core (Qt, the window, the command line).
# -DSOURCE_DIR=... -DRULES=folder=allowed,allowed;... -DOUTSIDE=app;cli;...
cmake_minimum_required(VERSION 3.25)
set(folders)
foreach(rule ${RULES})
  string(REPLACE "=" ";" parts "${rule}")
  list(GET parts 0 folder)
  list(APPEND folders ${folder})
endforeach()
set(guarded ${folders} ${OUTSIDE})

set(faults)
foreach(rule ${RULES})
  string(REPLACE "=" ";" parts "${rule}")
  list(GET parts 0 folder)
  list(GET parts 1 allowed)
  string(REPLACE "," ";" allowed "${allowed}")
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(src ${sources})
    file(STRINGS ${SOURCE_DIR}/${src} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"/]+)/.*$" "\\1" used "${line}")
      if(used IN_LIST guarded AND NOT used IN_LIST allowed)
        list(APPEND faults "${src}: includes ${used}/, which ${folder}/ may not use")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "includes across the folders' dependencies:\n  ${text}")
endif()
list(LENGTH folders n)
message(STATUS "the includes of ${n} core folders keep to their dependencies")
