// Helpers for tests that need tester files on disk.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "record/org_records.h"

namespace tavo::testing {

// A fresh, empty folder of its own for each call.
inline std::filesystem::path temp_dir(const std::string& name) {
    std::string tmpl = (std::filesystem::temp_directory_path() / ("tavo-" + name + "-XXXXXX")).string();
    if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return tmpl;
}

inline std::string file_bytes(const Org_Head& h, const std::vector<Org_Point>& pts) {
    const HeadBytes hb = encode_head(h);
    std::string out(reinterpret_cast<const char*>(hb.data()), hb.size());
    for (const auto& p : pts) {
        const PointBytes pb = encode_point(p);
        out.append(reinterpret_cast<const char*>(pb.data()), pb.size());
    }
    return out;
}

inline void write_bytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string read_bytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A curve line of the exchange text: `field` n times.
inline std::string repeat(const std::string& field, int n = 144) {
    std::string s;
    for (int i = 0; i < n; ++i) s += field;
    return s;
}

}  // namespace tavo::testing
