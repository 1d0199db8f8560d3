// Every committed fuzz finding and a handful of seeds, replayed through the
// fuzz targets' own bodies in the ordinary build (and under the sanitizers
// in the sanitizer build).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "analysis/pick_file.h"
#include "exchange/exchange.h"
#include "fuzz/fuzz_bodies.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;
using testing::is_tester_file;
using testing::read_bytes;

const fs::path kSource = TAVO_SOURCE_DIR;

fuzz::RunResult tester_file_once(const std::string& bytes) {
    return fuzz::fuzz_tester_file_once(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

fuzz::RunResult exchange_once(const std::string& bytes) {
    return fuzz::fuzz_exchange_once(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// The files of one folder in name order; notes beside the inputs are skipped.
std::vector<fs::path> inputs_in(const fs::path& dir, bool (*keep)(const fs::path&) = nullptr) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        if (!e.is_regular_file() || e.path().extension() == ".md") continue;
        if (keep == nullptr || keep(e.path())) out.push_back(e.path());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Inputs are listed when the test runs, so a newly committed one needs no
// rebuild; each is named before it runs, so a crash names its input.
void replay_tester_files(const std::vector<fs::path>& inputs) {
    for (const auto& p : inputs) {
        SCOPED_TRACE(p.string());
        std::printf("replaying %s\n", p.string().c_str());
        std::fflush(stdout);
        const std::string bytes = read_bytes(p);
        const fuzz::RunResult run = tester_file_once(bytes);
        EXPECT_EQ(run.problem, "");
        // A stroke of 1..3000; nothing analysed (0) for a file without a
        // whole sample record (shorter than its header and one record, or
        // a Point_Num of 0 or less).
        const bool no_record = bytes.size() < kHeadSize + kPointSize ||
                               static_cast<int16_t>(static_cast<uint8_t>(bytes[28]) |
                                                    (static_cast<uint8_t>(bytes[29]) << 8)) <= 0;
        EXPECT_GE(run.circle, no_record ? 0 : 1);
        EXPECT_LE(run.circle, 3000);
    }
}

TEST(TesterFileReplay, CommittedFindingsRunClean) {
    const auto inputs = inputs_in(kSource / "fuzz/regressions/fuzz_tester_file");
    EXPECT_FALSE(inputs.empty());
    replay_tester_files(inputs);
}

TEST(TesterFileReplay, SamplesRunClean) {
    const auto inputs = inputs_in(kSource / "samples", is_tester_file);
    EXPECT_FALSE(inputs.empty());
    replay_tester_files(inputs);
}

// Samples that are all zero (an empty file, a header without samples, a test
// without active power or rod movement) make one region of the whole record
// on the power curve; it has no middle inside the record, so no candidate
// is tried and no stroke is found.
TEST(TesterFileRegression, RecordWithoutRegionEndFindsNoStroke) {
    // An empty file and a header without samples are no test: nothing is
    // analysed and the state stays as it was.
    for (const auto& [name, circle] : {std::pair{"empty", 0}, std::pair{"header-only.O00", 0},
                                       std::pair{"zero-power-still-rod.O00", 3000}}) {
        SCOPED_TRACE(name);
        const fs::path p = kSource / "fuzz/regressions/fuzz_tester_file" / name;
        ASSERT_TRUE(fs::exists(p));
        const fuzz::RunResult run = tester_file_once(read_bytes(p));
        EXPECT_EQ(run.problem, "");
        EXPECT_EQ(run.circle, circle);
    }
}

// ---- exchange text -------------------------------------------------------

TEST(ExchangeReplay, CommittedFindingsRunClean) {
    for (const auto& p : inputs_in(kSource / "fuzz/regressions/fuzz_exchange")) {
        SCOPED_TRACE(p.string());
        std::printf("replaying %s\n", p.string().c_str());
        std::fflush(stdout);
        EXPECT_EQ(exchange_once(read_bytes(p)).problem, "");
    }
}

// The exported blocks of the committed samples, as the fuzzer's seed is made.
std::vector<std::string> sample_blocks() {
    std::vector<std::string> blocks;
    for (const auto& p : inputs_in(kSource / "samples", is_tester_file)) {
        State st;
        pick_file(st, p.string());
        blocks.push_back(exchange_block(st));
    }
    return blocks;
}

TEST(ExchangeSeed, ExportedSamplesRebuildOneFileEach) {
    const std::vector<std::string> blocks = sample_blocks();
    ASSERT_FALSE(blocks.empty());
    std::string text;
    for (const auto& b : blocks) text += b;
    const fuzz::RunResult run = exchange_once(text);
    EXPECT_EQ(run.problem, "");
    EXPECT_EQ(run.rebuilt, blocks.size());
}

// Well names that try to leave the folder still land inside it; a cut-off
// text writes what its whole blocks hold and nothing else.
TEST(ExchangeSeed, HostileNamesAndCutTextsStayInTheFolder) {
    const std::vector<std::string> blocks = sample_blocks();
    ASSERT_FALSE(blocks.empty());
    const std::string& block = blocks.front();
    const std::string head = "[wellname]\r\n";
    ASSERT_EQ(block.rfind(head, 0), 0u);
    const std::size_t name_end = block.find("\r\n", head.size());
    ASSERT_NE(name_end, std::string::npos);
    for (const char* well : {"..", "../../up", "/tmp/abs", "a/b\\c", "...", "con:"}) {
        SCOPED_TRACE(well);
        const std::string text = head + well + block.substr(name_end);
        const fuzz::RunResult run = exchange_once(text);
        EXPECT_EQ(run.problem, "");
        EXPECT_EQ(run.rebuilt, 1u);
    }
    for (const std::size_t cut : {std::size_t{0}, std::size_t{5}, block.size() / 3, block.size() - 3}) {
        SCOPED_TRACE(cut);
        EXPECT_EQ(exchange_once(block.substr(0, cut)).problem, "");
    }
}

// ---- well records ------------------------------------------------------

TEST(WellImportReplay, SeedsAndFindingsRunClean) {
    std::vector<fs::path> inputs = inputs_in(kSource / "fuzz/seeds/fuzz_well_import");
    EXPECT_FALSE(inputs.empty());
    for (const auto& p : inputs_in(kSource / "fuzz/regressions/fuzz_well_import")) inputs.push_back(p);
    inputs.push_back(kSource / "samples/wells.json");
    for (const auto& p : inputs) {
        SCOPED_TRACE(p.string());
        const std::string bytes = read_bytes(p);
        EXPECT_EQ(
            fuzz::fuzz_well_import_once(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()).problem,
            "");
    }
}

}  // namespace
}  // namespace tavo
