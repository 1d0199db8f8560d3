# cmake -DBUILD_DIR=... -DPREFIX=... -DVERSION=... -DWITH_APP=ON|OFF -DSAMPLE=FILE -P install_check.cmake
# Installs the build into PREFIX, checks the files, and removes PREFIX again.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${PREFIX})
set(problems "")
macro(problem text)
  string(APPEND problems "\n  ${text}")
endmacro()

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  file(REMOVE_RECURSE ${PREFIX})
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}\n${err}")
endif()

set(expected bin/tavo-cli share/doc/tavo/README.md)
if(EXISTS ${PREFIX}/share/man/man1/tavo-cli.1.gz)
  list(APPEND expected share/man/man1/tavo-cli.1.gz)
else()
  list(APPEND expected share/man/man1/tavo-cli.1)
endif()
if(WITH_APP)
  list(APPEND expected bin/tavo libexec/tavo/tavo-draw share/applications/tavo.desktop share/mime/packages/tavo.xml
       share/icons/hicolor/scalable/apps/tavo.svg share/icons/hicolor/48x48/apps/tavo.png)
endif()
foreach(f ${expected})
  if(NOT EXISTS ${PREFIX}/${f})
    problem("missing: ${f}")
  endif()
endforeach()

execute_process(COMMAND ${PREFIX}/bin/tavo-cli --version OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "tavo-cli ${VERSION}\n")
  problem("installed tavo-cli --version: status ${rc}, \"${out}\"")
endif()

# render is drawn by the helper, which the installed tavo-cli finds from its
# own folder.
execute_process(COMMAND ${PREFIX}/bin/tavo-cli render --view table -o ${PREFIX}/table.json ${SAMPLE}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT EXISTS ${PREFIX}/table.json)
  problem("installed tavo-cli render: status ${rc}, ${err}")
endif()

if(WITH_APP AND EXISTS ${PREFIX}/share/applications/tavo.desktop)
  # The desktop entry opens a file in tavo and claims the type the MIME
  # file declares.
  file(READ ${PREFIX}/share/applications/tavo.desktop entry)
  file(READ ${PREFIX}/share/mime/packages/tavo.xml mime)
  string(REGEX MATCH "<mime-type type=\"([^\"]+)\"" _ "${mime}")
  set(type "${CMAKE_MATCH_1}")
  foreach(line "Exec=tavo %f" "MimeType=${type};" "Icon=tavo" "Name[zh_CN]=")
    string(FIND "${entry}" "\n${line}" at)
    if(at EQUAL -1)
      problem("tavo.desktop lacks \"${line}\"")
    endif()
  endforeach()
  find_program(VALIDATE desktop-file-validate)
  if(VALIDATE)
    execute_process(COMMAND ${VALIDATE} ${PREFIX}/share/applications/tavo.desktop
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
      problem("desktop-file-validate: ${out}${err}")
    endif()
  endif()
  # The MIME database built from it maps .O00 to .O99 to the type in
  # either case.
  find_program(UPDATE_MIME update-mime-database)
  if(UPDATE_MIME)
    execute_process(COMMAND ${UPDATE_MIME} ${PREFIX}/share/mime RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    file(STRINGS ${PREFIX}/share/mime/globs2 globs REGEX "${type}")
    list(LENGTH globs n)
    if(NOT rc EQUAL 0 OR NOT n EQUAL 100)
      problem("update-mime-database: status ${rc}, ${n} patterns for ${type}")
    endif()
    foreach(g "50:${type}:*.o00" "50:${type}:*.o99")
      if(NOT g IN_LIST globs)
        problem("globs2 lacks ${g}")
      endif()
    endforeach()
    if(globs MATCHES ":cs")
      problem("a pattern for ${type} is case-sensitive")
    endif()
  endif()
endif()

file(REMOVE_RECURSE ${PREFIX})
if(NOT problems STREQUAL "")
  message(FATAL_ERROR "install check:${problems}")
endif()
