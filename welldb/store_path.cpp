#include "welldb/store_path.h"

#include <cstdlib>

namespace tavo::welldb {

std::string default_store_path() {
    if (const char* db = std::getenv(wells_db_variable); db != nullptr && *db != '\0') return db;
    // The XDG base directory rules: a relative XDG_DATA_HOME is ignored.
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/')
        return std::string(data) + "/TAVO/wells.sqlite";
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return std::string(home) + "/.local/share/TAVO/wells.sqlite";
    return {};
}

}  // namespace tavo::welldb
