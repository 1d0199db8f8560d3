# The header-only command-line and JSON libraries come from the system's
# include folder through a folder of their own, so that no other system
# header reaches the WebAssembly compiler.
set(TAVO_WEB_THIRD ${CMAKE_BINARY_DIR}/third)
file(MAKE_DIRECTORY ${TAVO_WEB_THIRD})
foreach(dir CLI nlohmann)
  if(NOT EXISTS /usr/include/${dir})
    message(FATAL_ERROR "/usr/include/${dir} is missing: run scripts/setup.sh")
  endif()
  file(CREATE_LINK /usr/include/${dir} ${TAVO_WEB_THIRD}/${dir} SYMBOLIC)
endforeach()
set(CLI11_DIR ${PROJECT_SOURCE_DIR}/web/packages CACHE PATH "" FORCE)
set(nlohmann_json_DIR ${PROJECT_SOURCE_DIR}/web/packages CACHE PATH "" FORCE)
set(Threads_DIR ${PROJECT_SOURCE_DIR}/web/packages CACHE PATH "" FORCE)
set(CMAKE_FIND_PACKAGE_PREFER_CONFIG ON)
