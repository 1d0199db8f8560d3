#include "support/files.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <system_error>

namespace tavo::testing {

namespace fs = std::filesystem;

std::string file_bytes(const Org_Head& h, const std::vector<Org_Point>& pts) {
    const HeadBytes hb = encode_head(h);
    std::string out(reinterpret_cast<const char*>(hb.data()), hb.size());
    for (const auto& p : pts) {
        const PointBytes pb = encode_point(p);
        out.append(reinterpret_cast<const char*>(pb.data()), pb.size());
    }
    return out;
}

void write_bytes(const fs::path& p, const std::string& bytes) {
    write_bytes(p, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

void write_bytes(const fs::path& p, const uint8_t* data, std::size_t size) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::string read_bytes(const fs::path& p) {
    // Through the stream buffer whole: GCC 12 reports a null dereference
    // inside the character-by-character iterator once it is inlined.
    std::ifstream in(p, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return std::move(bytes).str();
}

std::string repeat(const std::string& field, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += field;
    return s;
}

bool is_tester_file(const fs::path& p) {
    const std::string ext = p.extension().string();
    return ext.size() == 4 && (ext[1] == 'o' || ext[1] == 'O') &&
           std::isdigit(static_cast<unsigned char>(ext[2])) &&
           std::isdigit(static_cast<unsigned char>(ext[3]));
}

fs::path source_dir() {
    return TAVO_SOURCE_DIR;
}

fs::path samples_dir() {
    return source_dir() / "samples";
}

std::vector<fs::path> sample_files() {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(samples_dir(), ec))
        if (e.is_regular_file() && is_tester_file(e.path())) out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

std::optional<fs::path> shared_data(const std::string& what) {
    const fs::path p = source_dir().parent_path() / "shared" / what;
    std::error_code ec;
    if (!fs::is_directory(p, ec)) return std::nullopt;
    return p;
}

}  // namespace tavo::testing
