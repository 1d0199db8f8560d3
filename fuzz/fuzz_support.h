// Shared by the fuzz targets: a private scratch folder per process.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace tavo::fuzz {

inline const std::filesystem::path& scratch_dir() {
    static const std::filesystem::path dir = [] {
        std::string t = (std::filesystem::temp_directory_path() / "tavo-fuzz-XXXXXX").string();
        if (::mkdtemp(t.data()) == nullptr) std::abort();
        return std::filesystem::path(t);
    }();
    return dir;
}

inline void write_file(const std::filesystem::path& p, const uint8_t* data, size_t size) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace tavo::fuzz
