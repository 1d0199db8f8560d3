// Every sample test drawn in the three views, compared with its golden list
// of operations, tests/golden/views/<sample>.<view>.ops (written as
// support/ops.h describes). A changed drawing shows as a diff of those
// files: run this test with TAVO_UPDATE_GOLDEN=1, or build the target
// update_golden_views, and review the diff before committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "analysis/pick_file.h"
#include "common/fault.h"
#include "record/state.h"
#include "session/session.h"
#include "support/files.h"
#include "support/ops.h"
#include "views/recording_surface.h"
#include "views/views.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = testing::source_dir() / "tests" / "golden" / "views";

// The views of one sample as the window brings them: a click on the file
// draws the chart, clicks on the drawing area the table and then the card.
std::map<std::string, std::string> draw_views(const fs::path& file) {
    std::map<std::string, std::string> views;
    RecordingSurface rec;  // fixed text metrics: no font on the machine matters
    auto session = std::make_unique<Session>();
    session->picture = &rec;
    pick_file(*session, file.string());
    State* st = &session->st;
    views["chart"] = testing::ops_text(rec.ops);
    Disp_Pow_Data(*st, rec);
    views["table"] = testing::ops_text(rec.ops);
    try {
        RodEngMapDisplay(*st, rec);
        views["card"] = testing::ops_text(rec.ops);
    } catch (const Fault& f) {
        views["card"] = std::string("refused: ") + f.what() + "\n";
    }
    return views;
}

TEST(ViewsGolden, EverySampleDrawsAsItsGoldenFiles) {
    const auto samples = testing::sample_files();
    ASSERT_FALSE(samples.empty());
    if (testing::golden_update_requested()) fs::create_directories(kGoldenDir);
    std::set<std::string> expected;
    for (const fs::path& file : samples) {
        for (const auto& [view, text] : draw_views(file)) {
            const std::string name = file.filename().string() + "." + view + ".ops";
            expected.insert(name);
            const fs::path golden = kGoldenDir / name;
            if (testing::golden_update_requested()) {
                if (testing::read_bytes(golden) != text) testing::write_bytes(golden, text);
                continue;
            }
            ASSERT_TRUE(fs::is_regular_file(golden))
                << golden << " is missing; write it with TAVO_UPDATE_GOLDEN=1";
            const std::string want = testing::read_bytes(golden);
            EXPECT_TRUE(want == text)
                << name << ": " << testing::first_difference(want, text)
                << "\nIf the change is meant, rewrite the files with TAVO_UPDATE_GOLDEN=1"
                   " and review the diff.";
        }
    }
    // No golden file outlives its sample.
    for (const auto& e : fs::directory_iterator(kGoldenDir)) {
        const std::string name = e.path().filename().string();
        if (expected.count(name) != 0) continue;
        if (testing::golden_update_requested())
            fs::remove(e.path());
        else
            ADD_FAILURE() << name << " belongs to no sample; remove it with TAVO_UPDATE_GOLDEN=1";
    }
}

}  // namespace
}  // namespace tavo
