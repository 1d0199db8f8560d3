#include <gtest/gtest.h>

#include "support/ops.h"
#include "views/layout.h"
#include "views/palette.h"
#include "views/recording_surface.h"
#include "views/views.h"

namespace tavo {
namespace {

using testing::curve_ops;
using testing::of_kind;
using testing::text_at;

struct ChartFixture : ::testing::Test {
    State st;
    RecordingSurface rec;
    ChartFixture() {
        st.Txt_WellName = "  北3-17 ";
        st.Txt_TestTime = "2026110409071";
    }
    void fill(int n, float cur, float vol, float pow, float var) {
        for (int i = 0; i < n; ++i) {
            st.Cur_Dat[i] = cur;
            st.Vol_Dat[i] = vol;
            st.Pow_Dat[i] = pow;
            st.Var_Dat[i] = var;
        }
        st.Pow_Circle_Num = static_cast<int16_t>(n);
    }
    void draw() { iup_line_form(st, rec, 10.0f, 10.0f); }
    std::vector<std::string> left_labels() const {
        std::vector<std::string> out;
        for (int k = 0; k <= 6; ++k) out.push_back(text_at(rec, 4.0, 10.0 + 8.0 * k - 1.5));
        return out;
    }
    std::vector<std::string> right_labels() const {
        std::vector<std::string> out;
        for (int k = 0; k <= 6; ++k) out.push_back(text_at(rec, 95.0, 10.0 + 8.0 * k - 1.5));
        return out;
    }
};

using Labels = std::vector<std::string>;

TEST(ChartScales, LeftScaleRoundsTheLargestToTwentyFiveAndAddsAStep) {
    State st;
    const ChartScales zero = chart_scales(st, 3000);
    EXPECT_EQ(zero.topL, 25.0);
    EXPECT_EQ(zero.stepL, 5.0);
    EXPECT_EQ(zero.topR, 0.0);
    EXPECT_EQ(zero.stepR, 0.0);

    st.Cur_Dat[7] = 37.4f;
    EXPECT_EQ(chart_scales(st, 100).topL, 50.0);
    st.Cur_Dat[7] = 37.5f;
    EXPECT_EQ(chart_scales(st, 100).topL, 75.0);
    EXPECT_EQ(chart_scales(st, 100).stepL, 15.0);
    // Any of the three left curves sets it; samples past n do not.
    st.Cur_Dat[7] = 0.0f;
    st.Var_Dat[99] = 60.0f;
    EXPECT_EQ(chart_scales(st, 100).topL, 75.0);
    EXPECT_EQ(chart_scales(st, 99).topL, 25.0);
    // Negative values never lower the scale below 25.
    st.Var_Dat[99] = -80.0f;
    EXPECT_EQ(chart_scales(st, 100).topL, 25.0);
}

TEST(ChartScales, RightScaleRoundsTheVoltageUpToFifty) {
    State st;
    st.Vol_Dat[0] = 380.0f;
    EXPECT_EQ(chart_scales(st, 1).topR, 400.0);
    EXPECT_EQ(chart_scales(st, 1).stepR, 80.0);
    st.Vol_Dat[0] = 400.0f;
    EXPECT_EQ(chart_scales(st, 1).topR, 400.0);
    st.Vol_Dat[0] = 400.5f;
    EXPECT_EQ(chart_scales(st, 1).topR, 450.0);
    st.Vol_Dat[0] = 0.0004f;
    EXPECT_EQ(chart_scales(st, 1).topR, 0.0);
}

TEST(ChartScales, AxisModeAndSamplesPerMillimetre) {
    State st;
    ChartScales s = chart_scales(st, 2450);
    EXPECT_TRUE(s.crank);
    EXPECT_DOUBLE_EQ(s.spm, 2450.0 / 85.0);
    s = chart_scales(st, 2451);
    EXPECT_FALSE(s.crank);
    EXPECT_EQ(s.p, 10);
    EXPECT_DOUBLE_EQ(s.spm, 2500.0 / 85.0);
    s = chart_scales(st, 3000);
    EXPECT_EQ(s.p, 12);
    EXPECT_DOUBLE_EQ(s.spm, 3000.0 / 85.0);
}

TEST_F(ChartFixture, TimeModeAtTheCrankLimitPlusOne) {
    fill(2451, 1.0f, 220.0f, 1.0f, 1.0f);
    draw();
    Labels got;
    for (int j = 0; j <= 10; ++j) got.push_back(text_at(rec, 10.0 + 85.0 * j / 10 - 3.0, 59.0));
    EXPECT_EQ(got,
              (Labels{" 0 ", " 5 ", " 10 ", " 15 ", " 20 ", " 25 ", " 30 ", " 35 ", " 40 ", " 45 ", " 50 "}));
    EXPECT_EQ(text_at(rec, 72.8, 54.0), "记录时间(S)");
}

TEST_F(ChartFixture, AllZeroSamplesDrawNoVoltageCurve) {
    fill(3000, 0.0f, 0.0f, 0.0f, 0.0f);
    draw();
    EXPECT_EQ(left_labels(), (Labels{" 25 ", " 20 ", " 15 ", " 10 ", " 5 ", " 0 ", "-5 "}));
    EXPECT_EQ(right_labels(), Labels(7, " 0 "));
    EXPECT_TRUE(curve_ops(rec, kLightMagenta).empty());
    // The other curves lie on the zero line.
    const auto var = curve_ops(rec, kYellow);
    ASSERT_EQ(var.size(), 3000u);
    EXPECT_EQ(var[0].kind, OpKind::Point);
    EXPECT_EQ(var[0].y1, 50.0);
    EXPECT_EQ(var[2999].y2, 50.0);
    // The rest of the chart is still there.
    EXPECT_EQ(of_kind(rec, OpKind::Rect).size(), 1u);
}

TEST_F(ChartFixture, OneSampleIsOnePointPerCurve) {
    fill(1, 10.0f, 380.0f, 5.0f, 2.0f);
    draw();
    EXPECT_EQ(of_kind(rec, OpKind::Point).size(), 4u);
    EXPECT_TRUE(of_kind(rec, OpKind::LineTo).empty());
    // No samples: no curve at all (sample 0's position divides by zero).
    st.Pow_Circle_Num = 0;
    draw();
    EXPECT_TRUE(of_kind(rec, OpKind::Point).empty());
}

TEST_F(ChartFixture, DrawingTwiceGivesTheSameOperations) {
    fill(700, 12.0f, 381.0f, 4.0f, 3.0f);
    draw();
    const auto first = rec.ops;
    draw();
    EXPECT_EQ(rec.ops, first);
}

TEST_F(ChartFixture, SamplesOutsideTheArraysArePassedOver) {
    fill(3000, 1.0f, 380.0f, 1.0f, 1.0f);
    st.Pow_Circle_Num = 3500;  // more than the arrays hold
    draw();
    EXPECT_EQ(curve_ops(rec, kLightRed).size(), 3001u);
}

}  // namespace
}  // namespace tavo
