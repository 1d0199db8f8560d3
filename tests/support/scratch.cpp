#include "support/scratch.h"

#include <stdlib.h>

#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace tavo::testing {

namespace fs = std::filesystem;

ScratchDir::ScratchDir(const std::string& name) {
    std::string tmpl = (fs::temp_directory_path() / ("tavo-" + name + "-XXXXXX")).string();
    if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder " + tmpl);
    path_ = tmpl;
}

ScratchDir::~ScratchDir() {
    if (path_.empty()) return;
    std::error_code ec;
    // A test may have left a folder read-only: make it writable again.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
}

ScratchDir::ScratchDir(ScratchDir&& other) noexcept : path_(std::move(other.path_)) {
    other.path_.clear();
}

const fs::path& process_scratch_dir() {
    static const ScratchDir dir("process");
    return dir.path();
}

}  // namespace tavo::testing
