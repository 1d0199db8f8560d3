# The program's version, from project(... VERSION ...), as a generated header
# "tavo_version.h" for the programs that print it.
configure_file(${CMAKE_CURRENT_LIST_DIR}/tavo_version.h.in ${CMAKE_BINARY_DIR}/generated/tavo_version.h @ONLY)
add_library(tavo_version INTERFACE)
target_include_directories(tavo_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
