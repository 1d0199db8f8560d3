#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>

#include "analysis/fourier.h"
#include "common/text.h"
#include "exchange/exchange.h"
#include "support/files.h"
#include "support/scratch.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;
using testing::read_bytes;
using testing::temp_dir;
using testing::write_bytes;

using testing::repeat;

// A test on display: one stroke of 500 samples with constant curves.
State constant_test() {
    State st;
    st.Txt_WellName = "北3-17";
    st.Txt_TestTime = "200501050930";
    st.Text3[12] = " 1.5";
    st.Text3[13] = " 6";
    st.Circle_Num = 500;
    st.Force_Dat.fill(35.27f);
    st.Pos_Dat.fill(1.5f);
    st.Cur_Dat.fill(20.0f);
    st.Vol_Dat.fill(380.0f);
    st.Pow_Dat.fill(15.0f);
    st.Var_Dat.fill(-3.2f);
    return st;
}

// The fields of one curve: one stroke analysed up to harmonic 71 and
// synthesised at 144 points from harmonics 0..70. In single precision a
// constant of a long stroke does not come back exactly (380 V over 500
// samples gives 381 V), so the expected fields are computed the same way.
std::string fields(const SampleArray& x, int16_t n, int16_t w, int16_t d) {
    std::array<float, 72> A{}, B{};
    Get_DFT(x, n, A, B, 71);
    std::array<float, 144> y{};
    Put_DFT(y, 144, A, B, 71);
    std::string s;
    for (float v : y) s += MyStr(v, w, d);
    return s;
}

std::string expected_block(const State& st) {
    const std::string e = "\r\n";
    const int16_t n = st.Circle_Num;
    return "[wellname]" + e + utf8_to_gbk("北3-17") + e + "[testdate]" + e + "2005-1-5" + e + "[count]" + e +
           "144" + e + "[gtsj]" + e + " 1.5" + e + " 6" + e + fields(st.Force_Dat, n, 5, 1) + e +
           fields(st.Pos_Dat, n, 4, 2) + e + "[glsj]" + e + fields(st.Cur_Dat, n, 5, 1) + e +
           fields(st.Vol_Dat, n, 4, 0) + e + fields(st.Pow_Dat, n, 5, 1) + e + fields(st.Var_Dat, n, 5, 1) +
           e + e;
}

TEST(ExchangeWriter, BlockIsWrittenExactly) {
    const auto dir = temp_dir("exw");
    State st = constant_test();
    out_txt_file(st, (dir / "OutDataFile.Txt").string());
    EXPECT_EQ(read_bytes(dir / "OutDataFile.Txt"), expected_block(st));
    // A stroke of 144 samples keeps a constant.
    st.Circle_Num = 144;
    EXPECT_NE(exchange_block(st).find(repeat("0380")), std::string::npos);
}

TEST(ExchangeWriter, TwoExportsAppendTwoBlocksAfterWhatWasThere) {
    const auto dir = temp_dir("exw");
    const fs::path out = dir / "OutDataFile.Txt";
    write_bytes(out, "kept\r\n");
    State st = constant_test();
    out_txt_file(st, out.string());
    out_txt_file(st, out.string());
    EXPECT_EQ(read_bytes(out), "kept\r\n" + expected_block(st) + expected_block(st));
}

TEST(ExchangeWriter, BlankWellNameWritesNothingAndCreatesNoFile) {
    const auto dir = temp_dir("exw");
    State st = constant_test();
    st.Txt_WellName = "   ";
    out_txt_file(st, (dir / "OutDataFile.Txt").string());
    EXPECT_FALSE(fs::exists(dir / "OutDataFile.Txt"));
}

TEST(ExchangeWriter, CurvesAreOneStrokeResampledTo144Points) {
    State st = constant_test();
    constexpr double kTwoPi = 6.283185307179586;
    st.Circle_Num = 250;
    for (int j = 0; j < 250; ++j) {
        st.Pos_Dat[j] = static_cast<float>(1.5 - 1.5 * std::cos(kTwoPi * j / 250.0));
        st.Force_Dat[j] = static_cast<float>(30.0 + 8.0 * std::sin(kTwoPi * 3 * j / 250.0));
    }
    // Samples beyond the stroke are not part of it.
    for (int j = 250; j < kArrayLen; ++j) st.Pos_Dat[j] = st.Force_Dat[j] = 999.0f;
    const std::string block = exchange_block(st);

    std::vector<std::string> lines;
    for (std::size_t b = 0, e; (e = block.find("\r\n", b)) != std::string::npos; b = e + 2)
        lines.push_back(block.substr(b, e - b));
    ASSERT_EQ(lines.size(), 17u);
    const std::string& load = lines[9];
    const std::string& pos = lines[10];
    ASSERT_EQ(load.size(), 720u);
    ASSERT_EQ(pos.size(), 576u);
    for (int i = 0; i < 144; ++i) {
        const double p = 1.5 - 1.5 * std::cos(kTwoPi * i / 144.0);
        const double f = 30.0 + 8.0 * std::sin(kTwoPi * 3 * i / 144.0);
        // The field's resolution and the single-precision recurrence.
        EXPECT_NEAR(MyVal(pos.substr(4 * i, 4)), p, 0.008) << i;
        EXPECT_NEAR(MyVal(load.substr(5 * i, 5)), f, 0.08) << i;
    }
    EXPECT_EQ(lines[11], "[glsj]");
    for (int i : {12, 14, 15}) EXPECT_EQ(lines[i].size(), 720u);
    EXPECT_EQ(lines[13].size(), 576u);
    EXPECT_EQ(lines[16], "");
}

TEST(ExchangeWriter, ResultBoxesAreCopiedAsTheyStand) {
    State st = constant_test();
    st.Text3[12] = "实测冲程";  // nothing analysed yet: the box keeps its label
    st.Text3[13] = " 5.833333";
    const std::string block = exchange_block(st);
    EXPECT_NE(block.find("\r\n" + utf8_to_gbk("实测冲程") + "\r\n 5.833333\r\n"), std::string::npos);
}

TEST(ExchangeWriter, FailuresAreReportedAndLeaveTheFileAsItWas) {
    const auto dir = temp_dir("exw");
    const fs::path out = dir / "OutDataFile.Txt";
    State st = constant_test();
    out_txt_file(st, out.string());
    const std::string before = read_bytes(out);

    st.Circle_Num = 0;
    const std::string stroke = english(out_txt_file(st, out.string()));
    EXPECT_NE(stroke.find("北3-17"), std::string::npos) << stroke;
    EXPECT_EQ(read_bytes(out), before);

    st.Circle_Num = 500;
    const std::string folder = english(out_txt_file(st, (dir / "missing" / "out.txt").string()));
    EXPECT_NE(folder.find("missing/out.txt"), std::string::npos) << folder;
}

}  // namespace
}  // namespace tavo
