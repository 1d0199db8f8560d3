// The pump-card fuzz target's committed findings, replayed through its own
// body in the ordinary build.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_downhole_body.h"
#include "support/files.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;

TEST(DownholeFuzzReplay, CommittedFindingsRunClean) {
    std::vector<fs::path> inputs;
    for (const auto& e : fs::directory_iterator(fs::path(TAVO_SOURCE_DIR) / "fuzz/regressions/fuzz_downhole"))
        if (e.is_regular_file()) inputs.push_back(e.path());
    std::sort(inputs.begin(), inputs.end());
    ASSERT_FALSE(inputs.empty());
    for (const fs::path& p : inputs) {
        const std::string bytes = testing::read_bytes(p);
        EXPECT_EQ(fuzz::fuzz_downhole_once(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "")
            << p.filename();
    }
}

}  // namespace
}  // namespace tavo
