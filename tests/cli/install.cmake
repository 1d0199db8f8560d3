# cmake --install into a folder of the build tree: every file where Debian
# expects it, the installed tavo-cli answers, the MIME type matches.
add_test(NAME install.layout
  COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/install_check
          -DVERSION=${PROJECT_VERSION} -DWITH_APP=${TAVO_BUILD_APP} -DSAMPLE=${CMAKE_SOURCE_DIR}/samples/w101.o00
          -P ${CMAKE_CURRENT_SOURCE_DIR}/cli/scripts/install_check.cmake)
set_tests_properties(install.layout PROPERTIES LABELS install)
