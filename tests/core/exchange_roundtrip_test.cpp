#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "analysis/pick_file.h"
#include "common/number_text.h"
#include "exchange/exchange.h"
#include "support/files.h"
#include "support/scratch.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;
using testing::file_bytes;
using testing::temp_dir;
using testing::write_bytes;

constexpr double kTwoPi = 6.283185307179586;

// A three-phase test of 3000 samples, one stroke every `period` samples.
void write_test(const fs::path& path, int period) {
    Org_Head h;
    h.Test_Time = "200511250930";
    h.Well_Name = "北3-17";
    h.Point_Num = 3000;
    h.Test_Mode = 1;
    h.Rec_Speed = 1;
    std::vector<Org_Point> pts;
    for (int i = 0; i < 3000; ++i) {
        const double ph = kTwoPi * i / period;
        Org_Point p;
        p.IQ_Raw = static_cast<int16_t>(std::lround(100 * (30.0 + 6.0 * std::sin(ph))));   // A
        p.Vol_Raw = 19000;                                                                 // 380 V
        p.Pow_Raw = static_cast<int16_t>(std::lround(100 * (12.0 + 4.0 * std::sin(ph))));  // kW
        p.Pos_Raw = static_cast<int16_t>(std::lround(1000 * (1.5 - 1.5 * std::cos(ph))));  // m
        p.Force_Raw =
            static_cast<int16_t>(std::lround(100 * (25.0 + 9.0 * std::sin(ph) + 2.0 * std::sin(2 * ph))));
        pts.push_back(p);
    }
    write_bytes(path, file_bytes(h, pts));
}

TEST(ExchangeRoundTrip, ExportThenRebuildKeepsStrokeRateAndLoads) {
    const auto dir = temp_dir("exrt");
    write_test(dir / "a.O00", 600);
    State st;
    pick_file(st, (dir / "a.O00").string());
    ASSERT_NEAR(st.Circle_Num, 600, 3);
    const int16_t cycle = st.Circle_Num;
    out_txt_file(st, (dir / "OutDataFile.Txt").string());
    const std::string stroke = st.Text3[12], rate = st.Text3[13];
    const int16_t max_load = st.Sgt_MaxLoad, min_load = st.Sgt_MinLoad;

    State back;
    const auto files = InvOutFile(back, (dir / "OutDataFile.Txt").string()).files;
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0], (dir / "OutDataFile" / "北3-17.O00").string());
    EXPECT_EQ(back.Cur_File, files[0]);
    EXPECT_EQ(back.Txt_WellName, "北3-17");
    EXPECT_EQ(back.Txt_TestTime, "20051125");
    EXPECT_EQ(back.head.Stroke_Pnt, std::lround(3000.0 / leading_number(rate)));
    EXPECT_EQ(back.head.Test_Mode, 16385);
    EXPECT_NEAR(back.Circle_Num, cycle, 2);
    EXPECT_NEAR(leading_number(back.Text3[13]), leading_number(rate), 0.02);
    EXPECT_NEAR(leading_number(back.Text3[12]), leading_number(stroke), 0.02);
    EXPECT_NEAR(back.Sgt_MaxLoad, max_load, 15);  // 0.1 kN fields, resampled twice
    EXPECT_NEAR(back.Sgt_MinLoad, min_load, 15);
    // Electrical results agree as well: the power needs no factor.
    EXPECT_NEAR(leading_number(back.Text3[1]), leading_number(st.Text3[1]), 0.2);
}

}  // namespace
}  // namespace tavo
