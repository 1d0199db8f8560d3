// Scratch folders for tests, benchmarks and fuzz bodies: each one is made
// fresh under the temporary folder (TMPDIR; ctest points it into the build
// folder) and removed with everything in it when the object goes.
#pragma once

#include <filesystem>
#include <string>

namespace tavo::testing {

class ScratchDir {
public:
    // A new, empty folder named tavo-<name>-XXXXXX; throws when none can be made.
    explicit ScratchDir(const std::string& name);
    ~ScratchDir();
    ScratchDir(ScratchDir&& other) noexcept;
    ScratchDir& operator=(ScratchDir&&) = delete;
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // Only a named folder gives its path: the path of a temporary one would
    // name a folder already removed.
    const std::filesystem::path& path() const& { return path_; }
    operator const std::filesystem::path&() const& { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& p) const& { return path_ / p; }
    std::string string() const& { return path_.string(); }
    const char* c_str() const& { return path_.c_str(); }
    const std::filesystem::path& path() && = delete;
    operator const std::filesystem::path&() && = delete;
    std::filesystem::path operator/(const std::filesystem::path&) && = delete;
    std::string string() && = delete;
    const char* c_str() && = delete;

private:
    std::filesystem::path path_;
};

// A scratch folder of the calling test, removed when it goes out of scope.
inline ScratchDir temp_dir(const std::string& name) {
    return ScratchDir(name);
}

// One scratch folder for the whole process, made on first use and removed
// at exit; for code that cannot hold a ScratchDir (the fuzz bodies).
const std::filesystem::path& process_scratch_dir();

}  // namespace tavo::testing
