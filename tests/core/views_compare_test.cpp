#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/ops.h"
#include "views/compare_view.h"
#include "views/palette.h"
#include "views/recording_surface.h"

namespace tavo {
namespace {

constexpr double kPi = 3.14159265358979323846;

// A test of 100 samples a stroke whose rod is at the bottom at sample 25.
State stroke_state(double load_scale) {
    State st;
    st.Txt_WellName = " 北5-3 ";
    st.Txt_TestTime = "202611040907";
    st.Circle_Num = st.Pow_Circle_Num = 100;
    for (int i = 0; i < 100; ++i) {
        const double a = 2.0 * kPi * (i - 25) / 100.0;
        st.Pos_Dat[i] = static_cast<float>(1.5 * (1.0 - std::cos(a)));
        st.Force_Dat[i] = static_cast<float>(load_scale * (20.0 + 10.0 * std::sin(a)));
        st.Pow_Dat[i] = static_cast<float>(i);
    }
    st.Sgt_Period = 480;
    st.Sgt_Stroke = 3000;
    st.Sgt_MaxLoad = static_cast<int16_t>(load_scale * 3000);
    st.Sgt_MinLoad = static_cast<int16_t>(load_scale * 1000);
    st.Sgt_Work = 12.5f;
    st.Sgt_Power = 1.3f;
    return st;
}

TEST(CompareTest, PowerRunsFromTheRodAtTheBottom) {
    EXPECT_EQ(crank_angle(25, 25, 100), 0.0);
    EXPECT_EQ(crank_angle(24, 25, 100), 356.4);
    EXPECT_EQ(crank_angle(75, 25, 100), 180.0);

    const CompareTest t = compare_test(stroke_state(1.0));
    EXPECT_EQ(t.well, "北5-3");
    EXPECT_EQ(t.date, "20261104");
    EXPECT_EQ(t.time, "09:07");
    ASSERT_EQ(t.power.size(), 100u);
    EXPECT_TRUE(t.angle_from_rod);
    EXPECT_EQ(t.power.front(), std::make_pair(0.0, 25.0));  // sample 25 comes first
    EXPECT_EQ(t.power.back().second, 24.0);
    EXPECT_EQ(t.card.size(), 100u);
    EXPECT_EQ(*t.spm, 6.25);
    EXPECT_EQ(*t.max_load_kN, 30.0);
}

TEST(CompareTest, NoCardNoDirection) {
    State st = stroke_state(1.0);
    st.Sgt_Stroke = 200;  // the rod did not move
    const CompareTest t = compare_test(st);
    EXPECT_TRUE(t.card.empty());
    EXPECT_FALSE(t.angle_from_rod);
    EXPECT_EQ(t.power.front(), std::make_pair(0.0, 0.0));  // from the cycle's start
    EXPECT_FALSE(t.stroke_m || t.max_load_kN || t.work_kJ);
    EXPECT_TRUE(t.spm);
}

TEST(CompareView, TestsShareScalesColoursAndTable) {
    std::vector<CompareTest> tests = {compare_test(stroke_state(1.0)), compare_test(stroke_state(2.0))};
    tests[1].well = "北5-4";
    tests[1].power_ratio = 0.84;
    tests[1].counterbalance_kN = 3.84;
    tests[1].condition = "供液不足";
    RecordingSurface rec;
    draw_compare(rec, tests);

    // Each card in its own colour, inside one frame: the larger reaches
    // the top, the smaller its half.
    std::vector<double> top(2, 1e9);
    for (int k = 0; k < 2; ++k) {
        const auto ops = testing::curve_ops(rec, compare_color(k));
        ASSERT_GE(ops.size(), 200u);
        for (const DrawOp& op : ops) top[k] = std::min(top[k], op.kind == OpKind::Point ? op.y1 : op.y2);
    }
    EXPECT_NE(compare_color(0), compare_color(1));
    EXPECT_LT(top[1], top[0]);

    const auto texts = testing::texts(rec);
    auto has = [&](const std::string& s) { return std::find(texts.begin(), texts.end(), s) != texts.end(); };
    EXPECT_TRUE(has("1. 北5-3  20261104  09:07"));
    EXPECT_TRUE(has("2. 北5-4  20261104  09:07"));
    EXPECT_TRUE(has("0.84"));
    EXPECT_TRUE(has("+3.8"));
    EXPECT_TRUE(has("供液不足"));
    EXPECT_TRUE(has("—"));  // the first test has no balance
    for (const DrawOp& op : rec.ops) {
        EXPECT_GE(op.x1, 0.0);
        EXPECT_LE(op.x1, compare_size(2).width_mm);
        EXPECT_LE(op.y1, compare_size(2).height_mm);
    }
}

TEST(CompareView, ExtraTestsAreLeftOut) {
    std::vector<CompareTest> tests(kCompareMaxTests + 2, compare_test(stroke_state(1.0)));
    RecordingSurface rec;
    draw_compare(rec, tests);
    const auto texts = testing::texts(rec);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "1. 北5-3  20261104  09:07"), 1);
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                            [](const std::string& s) { return s.rfind("9. ", 0) == 0; }),
              0);
}

}  // namespace
}  // namespace tavo
