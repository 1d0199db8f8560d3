# The header-only JSON library for the WebAssembly build (web/).
if(NOT TARGET nlohmann_json::nlohmann_json)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${TAVO_WEB_THIRD})
endif()
set(nlohmann_json_FOUND TRUE)
