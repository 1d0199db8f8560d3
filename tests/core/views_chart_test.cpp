#include <gtest/gtest.h>

#include "common/number_text.h"
#include "views/layout.h"
#include "views/palette.h"
#include "views/recording_surface.h"
#include "views/views.h"
#include "views_test_util.h"

namespace tavo {
namespace {

using test::curve_ops;
using test::of_kind;
using test::text_at;

struct ChartFixture : ::testing::Test {
    State st;
    RecordingSurface rec;
    ChartFixture() {
        st.picture = &rec;
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
    void draw() { iup_line_form(st, 10.0f, 10.0f); }
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

TEST_F(ChartFixture, CrankModeGridCurvesAndCaption) {
    fill(2450, 10.0f, 380.0f, 5.0f, 2.0f);
    draw();
    for (int j = 0; j <= 8; ++j) {
        const double x = 10.0 + 10.625 * j;
        EXPECT_EQ(text_at(rec, x - 3.0, 59.0), printed_form(45.0 * j)) << j;
    }
    EXPECT_EQ(text_at(rec, 7.0 + 10.625 * 8, 59.0), " 360 ");
    EXPECT_EQ(text_at(rec, 72.8, 54.0), "曲柄转角(deg)");
    // The last sample lies just left of the frame's right edge.
    const auto cur = curve_ops(rec, kLightRed);
    ASSERT_EQ(cur.size(), 2450u);
    EXPECT_DOUBLE_EQ(cur.back().x2, 10.0 + 2449.0 / (2450.0 / 85.0));
    EXPECT_DOUBLE_EQ(cur.back().y2, 50.0 - 40.0 * 10.0 / 25.0);
}

TEST_F(ChartFixture, TimeModeAtTheCrankLimitPlusOne) {
    fill(2451, 1.0f, 220.0f, 1.0f, 1.0f);
    draw();
    Labels got;
    for (int j = 0; j <= 10; ++j) got.push_back(text_at(rec, 10.0 + 85.0 * j / 10 - 3.0, 59.0));
    EXPECT_EQ(got,
              (Labels{" 0 ", " 5 ", " 10 ", " 15 ", " 20 ", " 25 ", " 30 ", " 35 ", " 40 ", " 45 ", " 50 "}));
    EXPECT_EQ(text_at(rec, 72.8, 54.0), "记录时间(S)");
    // 2500 samples across the 85 mm: sample 2450 lies at 2450 / 2500 of it.
    const auto pow = curve_ops(rec, kLightBlue);
    ASSERT_EQ(pow.size(), 2451u);
    EXPECT_DOUBLE_EQ(pow.back().x2, 10.0 + 2450.0 / (2500.0 / 85.0));
}

TEST_F(ChartFixture, TimeModeWithoutACycle) {
    fill(3000, 1.0f, 220.0f, 1.0f, 1.0f);
    draw();
    const auto vertical = [&] {
        int count = 0;
        for (const DrawOp& op : of_kind(rec, OpKind::Line))
            if (op.x1 == op.x2 && op.y1 == 10.0 && op.y2 == 58.0) ++count;
        return count;
    }();
    EXPECT_EQ(vertical, 13);
    EXPECT_EQ(text_at(rec, 10.0 + 85.0 * 12 / 12 - 3.0, 59.0), " 60 ");
    EXPECT_EQ(text_at(rec, 10.0 + 85.0 * 1 / 12 - 3.0, 59.0), " 5 ");
    const auto cur = curve_ops(rec, kLightRed);
    EXPECT_DOUBLE_EQ(cur.at(250).x2, 10.0 + 85.0 / 12.0);
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

TEST_F(ChartFixture, LabelsFollowTheScales) {
    fill(600, 37.4f, 380.0f, 3.0f, 5.0f);
    draw();
    EXPECT_EQ(left_labels(), (Labels{" 50 ", " 40 ", " 30 ", " 20 ", " 10 ", " 0 ", "-10 "}));
    EXPECT_EQ(right_labels(), (Labels{" 400 ", " 320 ", " 240 ", " 160 ", " 80 ", " 0 ", "-80 "}));
    st.Cur_Dat[3] = 37.5f;
    draw();
    EXPECT_EQ(left_labels()[0], " 75 ");
    EXPECT_EQ(left_labels()[6], "-15 ");
}

TEST_F(ChartFixture, CurvesInTheirColoursAndOrder) {
    fill(3, 10.0f, 380.0f, 5.0f, 2.0f);
    st.Var_Dat[1] = -20.0f;  // below the frame (-topL / 5 = -5)
    draw();
    std::vector<int> colours;
    for (const DrawOp& op : rec.ops)
        if (op.kind == OpKind::Point) colours.push_back(op.color);
    EXPECT_EQ(colours, (std::vector<int>{kLightMagenta, kLightRed, kYellow, kLightBlue}));
    const auto vol = curve_ops(rec, kLightMagenta);
    ASSERT_EQ(vol.size(), 3u);
    EXPECT_EQ(vol[1].kind, OpKind::LineTo);
    EXPECT_DOUBLE_EQ(vol[0].y1, 50.0 - 40.0 * 380.0 / 400.0);
    EXPECT_DOUBLE_EQ(vol[1].x1, 10.0);  // from sample 0
    EXPECT_DOUBLE_EQ(vol[1].x2, 10.0 + 1.0 / (3.0 / 85.0));
    const auto var = curve_ops(rec, kYellow);
    EXPECT_DOUBLE_EQ(var[1].y2, 50.0 + 40.0 * 20.0 / 25.0);
    EXPECT_GT(var[1].y2, 58.0);
    for (const DrawOp& op : curve_ops(rec, kLightBlue)) {
        EXPECT_EQ(op.width, 1);
        EXPECT_EQ(op.style, LineStyle::Solid);
        EXPECT_EQ(op.unit, Unit::Millimetre);
    }
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

TEST_F(ChartFixture, GridStylesFrameAndOrder) {
    fill(100, 10.0f, 380.0f, 5.0f, 2.0f);
    draw();
    const auto lines = of_kind(rec, OpKind::Line);
    // 7 left + 9 vertical + 7 right grid lines.
    ASSERT_EQ(lines.size(), 23u);
    for (int i = 0; i < 22; ++i) EXPECT_EQ(lines[i].style, LineStyle::Dotted) << i;
    EXPECT_EQ(lines[22].style, LineStyle::Solid);
    EXPECT_EQ(lines[0].x1, 95.0);  // left grid runs right to left
    EXPECT_EQ(lines[0].x2, 10.0);
    EXPECT_EQ(lines[16].x1, 10.0);
    EXPECT_EQ(lines[16].x2, 95.0);
    const auto frame = of_kind(rec, OpKind::Rect);
    ASSERT_EQ(frame.size(), 1u);
    EXPECT_EQ(frame[0].width, 2);
    EXPECT_EQ(frame[0].color, kBlack);
    EXPECT_EQ(frame[0].x1, 10.0);
    EXPECT_EQ(frame[0].y1, 10.0);
    EXPECT_EQ(frame[0].x2, 95.0);
    EXPECT_EQ(frame[0].y2, 58.0);
    for (const DrawOp& op : rec.ops) {
        if (op.kind == OpKind::Text) {
            EXPECT_EQ(op.size, 9.0);
            EXPECT_EQ(op.unit, Unit::Millimetre);
        }
    }
}

TEST_F(ChartFixture, TitleLegendAndCaption) {
    fill(10, 1.0f, 380.0f, 1.0f, 1.0f);
    draw();
    const auto title = test::texts_at(rec, 16.0, 1.0);
    ASSERT_EQ(title.size(), 1u);
    EXPECT_EQ(title[0].text, "北3-17井电能参数曲线      测试日期:202611040907");
    EXPECT_EQ(title[0].color, kBlack);
    EXPECT_TRUE(title[0].end_line);

    // The legend: three texts on one line, then the voltage at X0 + 81.
    const auto legend = test::texts_at(rec, 4.0, 5.5);
    ASSERT_EQ(legend.size(), 1u);
    std::vector<DrawOp> line;
    for (const DrawOp& op : rec.ops)
        if (op.kind == OpKind::Text && op.y1 == 5.5) line.push_back(op);
    ASSERT_EQ(line.size(), 4u);
    EXPECT_EQ(line[0].text, "电流(A) ");
    EXPECT_EQ(line[0].color, kLightRed);
    EXPECT_EQ(line[1].text, "有功功率(kW) ");
    EXPECT_EQ(line[1].color, kLightBlue);
    EXPECT_DOUBLE_EQ(line[1].x1, 4.0 + line[0].advance);
    EXPECT_EQ(line[2].text, "无功功率(kVar)");
    EXPECT_EQ(line[2].color, kYellow);
    EXPECT_FALSE(line[2].end_line);
    EXPECT_EQ(line[3].text, "电压(V)");
    EXPECT_EQ(line[3].color, kLightMagenta);
    EXPECT_EQ(line[3].x1, 91.0);
    EXPECT_TRUE(line[3].end_line);
    EXPECT_EQ(rec.ops.back().text, "曲柄转角(deg)");
    EXPECT_EQ(rec.ops.back().color, kBlack);
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
    st.picture = nullptr;
    draw();  // no surface: nothing to do
}

}  // namespace
}  // namespace tavo
