// Where the well records' database lives.
#pragma once

#include <string>

namespace tavo::welldb {

// The environment variable that names the database file.
inline constexpr const char* wells_db_variable = "TAVO_WELLS_DB";

// The database file: TAVO_WELLS_DB when set and not empty, else
// TAVO/wells.sqlite in the user's data folder ($XDG_DATA_HOME, or
// ~/.local/share when that is unset or not absolute). Empty when neither
// the variable nor a home folder is known.
std::string default_store_path();

}  // namespace tavo::welldb
