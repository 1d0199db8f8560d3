// Shared by the fuzz targets and their replay test: a private scratch folder
// per process.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace tavo::fuzz {

inline const std::filesystem::path& scratch_dir() {
    static const std::filesystem::path dir = [] {
        std::string t = (std::filesystem::temp_directory_path() / "tavo-fuzz-XXXXXX").string();
        if (::mkdtemp(t.data()) == nullptr) std::abort();
        return std::filesystem::path(t);
    }();
    return dir;
}

// A folder of its own for each target inside the scratch folder, so that two
// targets run in one process do not see each other's files.
inline std::filesystem::path target_dir(const char* target) {
    const std::filesystem::path d = scratch_dir() / target;
    std::error_code ec;
    std::filesystem::create_directories(d, ec);
    return d;
}

inline void write_file(const std::filesystem::path& p, const uint8_t* data, size_t size) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace tavo::fuzz
