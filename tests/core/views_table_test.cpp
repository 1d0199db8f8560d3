#include <gtest/gtest.h>

#include "support/ops.h"
#include "views/layout.h"
#include "views/palette.h"
#include "views/recording_surface.h"
#include "views/views.h"

namespace tavo {
namespace {

using testing::of_kind;
using testing::text_at;

constexpr double kCol[6] = {0.0, 22.25, 39.0, 55.75, 72.5, 89.25};

struct TableFixture : ::testing::Test {
    State st;
    RecordingSurface rec;
    TableFixture() {
        st.Txt_WellName = std::string(" 杨12-5\0", 10);
        st.Txt_TestTime = "2026110409071";
    }
    void draw() { Disp_Pow_Data(st, rec); }
    std::string cell(int j, int row) const { return text_at(rec, kCol[j], table_row_y(row)); }
};

TEST(TableLayout, RowsAndRules) {
    EXPECT_DOUBLE_EQ(table_row_y(1), 8.2);
    EXPECT_DOUBLE_EQ(table_row_y(12), 57.7);
    EXPECT_EQ(table_rule_y(0), 7.0);
    EXPECT_EQ(table_rule_y(12), 61.0);
}

TEST(TableLayout, ModeNamesByTheLowThreeBits) {
    EXPECT_EQ(mode_name(1), "三相二通道");
    EXPECT_EQ(mode_name(2), "三相一通道");
    EXPECT_EQ(mode_name(3), "单相测试  ");
    EXPECT_EQ(mode_name(4), "三相三通道");
    EXPECT_EQ(mode_name(16384 + 4), "三相三通道");
    for (int16_t m : {int16_t{0}, int16_t{5}, int16_t{6}, int16_t{7}, int16_t{8}})
        EXPECT_EQ(mode_name(m), "") << m;
}

TEST_F(TableFixture, NothingAnalysedLeavesTheQuadrantCellsEmpty) {
    draw();
    for (int j = 1; j <= 5; ++j)
        for (int row = 3; row <= 8; ++row) EXPECT_EQ(cell(j, row), "<none>") << j << "," << row;
    // Mean voltage box as it stands, daily energy 0, the halves 0, the
    // initial RMS box texts read as 0, and no balances (0 / 0).
    EXPECT_EQ(text_at(rec, 56.0, 8.2), "平均电压");
    EXPECT_EQ(text_at(rec, 93.0, 8.2), " 0 ");
    EXPECT_EQ(text_at(rec, 38.5, table_row_y(9)), " 0 ");
    EXPECT_EQ(text_at(rec, 88.5, table_row_y(11)), " 0 ");
    EXPECT_EQ(text_at(rec, 38.5, table_row_y(12)), "<none>");
    EXPECT_EQ(text_at(rec, 88.5, table_row_y(12)), "<none>");
    EXPECT_EQ(text_at(rec, 14.5, 8.2), "<none>");  // Pow_Mode 0
}

TEST_F(TableFixture, ACycleInTheFirstQuadrantOnly) {
    st.Pow_Mode = 16384 + 3;
    st.Quad_Num = {0, 500, 0, 0, 0, 500};
    st.Quad_Cur = {0, 12.5f, 0, 0, 0, 12.5f};
    st.Quad_Pow = {0, 1.23f, 0, 0, 0, 1.23f};
    st.Quad_Var = {0, 0.75f, 0, 0, 0, 0.75f};
    st.Quad_VA = {0, 2.0f, 0, 0, 0, 2.0f};
    st.Quad_PF = {0, 0.85f, 0, 0, 0, 0.85f};
    st.Text3[5] = "380.2";
    draw();
    EXPECT_EQ(text_at(rec, 14.5, 8.2), "单相测试  ");
    EXPECT_EQ(text_at(rec, 56.0, 8.2), "380.2");
    EXPECT_EQ(text_at(rec, 93.0, 8.2), " 29.5 ");  // 24 x 1.23 = 29.52
    for (int j : {1, 5}) {
        EXPECT_EQ(cell(j, 3), " 100 ");
        EXPECT_EQ(cell(j, 4), " 12.5 ");
        EXPECT_EQ(cell(j, 5), " 1.23 ");
        EXPECT_EQ(cell(j, 6), " .75 ");
        EXPECT_EQ(cell(j, 7), " 2 ");
        EXPECT_EQ(cell(j, 8), " .85 ");
    }
    for (int j : {2, 3, 4})
        for (int row = 3; row <= 8; ++row) EXPECT_EQ(cell(j, row), "<none>");
    // Only the active powers are red.
    for (const DrawOp& op : of_kind(rec, OpKind::Text)) {
        const bool power_cell = std::abs(op.y1 - table_row_y(5)) < 1e-9 && op.x1 > 20.0;
        EXPECT_EQ(op.color, power_cell ? kLightRed : kBlack) << op.text;
    }
}

TEST_F(TableFixture, TimeSharesAndZeroSlots) {
    st.Quad_Num = {0, 1, 1, 1, 0, 3};
    st.Quad_Cur = {0, 5.0f, 6.0f, 7.0f, 0, 6.0f};
    st.Quad_Var = {0, 1.5f, 0.0f, 2.5f, 0, 1.0f};  // quadrant 2 has samples but a mean of 0
    draw();
    EXPECT_EQ(cell(1, 3), " 33.33 ");
    EXPECT_EQ(cell(3, 3), " 33.33 ");
    EXPECT_EQ(cell(4, 3), "<none>");
    EXPECT_EQ(cell(5, 3), " 100 ");
    EXPECT_EQ(cell(2, 4), " 6 ");
    EXPECT_EQ(cell(2, 6), "<none>");
    EXPECT_EQ(cell(3, 6), " 2.5 ");
    // Without the whole-cycle count the shares cannot be computed.
    st.Quad_Num[5] = 0;
    draw();
    for (int j = 1; j <= 5; ++j) EXPECT_EQ(cell(j, 3), "<none>");
    EXPECT_EQ(cell(1, 4), " 5 ");
}

TEST_F(TableFixture, StrokeHalvesRmsAndBalances) {
    st.Max_Up_Cur = 30.5;
    st.Max_Down_Cur = 24.4;
    st.Avg_Up_Pow = 12.0;
    st.Avg_Down_Pow = -3.0;
    st.Text3[10] = " 27.31";
    st.Text3[11] = "4.5kW";
    draw();
    EXPECT_EQ(text_at(rec, 38.5, table_row_y(9)), " 30.5 ");
    EXPECT_EQ(text_at(rec, 88.5, table_row_y(9)), " 12 ");
    EXPECT_EQ(text_at(rec, 38.5, table_row_y(10)), " 24.4 ");
    EXPECT_EQ(text_at(rec, 88.5, table_row_y(10)), "-3 ");
    EXPECT_EQ(text_at(rec, 38.5, table_row_y(11)), " 27.31 ");
    EXPECT_EQ(text_at(rec, 88.5, table_row_y(11)), " 4.5 ");
    EXPECT_EQ(text_at(rec, 38.5, table_row_y(12)), " .8 ");
    EXPECT_EQ(text_at(rec, 88.5, table_row_y(12)), "-.25 ");

    std::swap(st.Max_Up_Cur, st.Max_Down_Cur);
    std::swap(st.Avg_Up_Pow, st.Avg_Down_Pow);
    draw();
    EXPECT_EQ(text_at(rec, 38.5, table_row_y(12)), " .8 ");
    EXPECT_EQ(text_at(rec, 88.5, table_row_y(12)), "-.25 ");

    st.Max_Up_Cur = st.Max_Down_Cur = 20.0;
    st.Avg_Up_Pow = 0.0;
    st.Avg_Down_Pow = 0.0;
    draw();
    EXPECT_EQ(text_at(rec, 38.5, table_row_y(12)), " 1 ");
    EXPECT_EQ(text_at(rec, 88.5, table_row_y(12)), "<none>");
}

TEST_F(TableFixture, DrawingTwiceGivesTheSameOperations) {
    st.Quad_Num = {0, 100, 200, 50, 50, 400};
    st.Quad_Pow = {0, 3.1f, 2.2f, -0.4f, 0.1f, 2.0f};
    draw();
    const auto first = rec.ops;
    draw();
    EXPECT_EQ(rec.ops, first);
}

// The test metrics' lines are 1.25 times the size, too tall for 9 pt rows.
TEST_F(TableFixture, RowsInATallFaceShrinkKeepTheirWordsPlacesAndClearTheirRules) {
    st.Pow_Mode = 2;
    st.Quad_Num = {0, 100, 200, 50, 50, 400};
    st.Quad_Pow = {0, 3.1f, 2.2f, -0.4f, 0.1f, 2.0f};
    draw();
    int rows_seen = 0;
    for (const DrawOp& op : of_kind(rec, OpKind::Text))
        for (int r = 1; r <= 12; ++r)
            if (op.y1 == table_row_y(r)) {
                ++rows_seen;
                EXPECT_LT(op.size, 9.0) << op.text;
                EXPECT_LE(op.y1 + op.line_height, table_rule_y(r)) << op.text;
            }
    EXPECT_GT(rows_seen, 40);
    // A word of a template starts where the 9 pt face puts it, not where
    // the smaller face's spaces would.
    RecordingSurface full;
    full.set_unit(Unit::Millimetre);
    full.set_font("宋体");
    full.set_font_size(9.0);
    const double x = 4.5 + full.text_width(" 方式:                ");
    EXPECT_EQ(text_at(rec, x, table_row_y(1)), "平均电压V:");
    EXPECT_EQ(text_at(rec, 14.5, table_row_y(1)), "三相一通道");
    // The next view starts from the size the table always left.
    EXPECT_EQ(rec.font_size(), 9.0);
}

}  // namespace
}  // namespace tavo
