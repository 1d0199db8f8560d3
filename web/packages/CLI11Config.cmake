# The header-only command-line library for the WebAssembly build (web/).
if(NOT TARGET CLI11::CLI11)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${TAVO_WEB_THIRD})
endif()
set(CLI11_FOUND TRUE)
