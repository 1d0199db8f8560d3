#include <gtest/gtest.h>

#include "views/fixed_metrics.h"
#include "views/recording_surface.h"

namespace tavo {
namespace {

TEST(RecordingSurface, TextStaysOnTheLineOrEndsIt) {
    RecordingSurface rec;  // fixed metrics: ASCII half the size, others the size, line 1.25 size
    rec.set_unit(Unit::Point);
    rec.set_font_size(8.0);
    rec.set_text_pos(10.0, 20.0);
    rec.print("ab", false);
    EXPECT_EQ(rec.text_x(), 18.0);
    EXPECT_EQ(rec.text_y(), 20.0);
    rec.print("电流", true);
    EXPECT_EQ(rec.text_x(), 0.0);
    EXPECT_EQ(rec.text_y(), 30.0);
    ASSERT_EQ(rec.ops.size(), 2u);
    EXPECT_EQ(rec.ops[1].x1, 18.0);
    EXPECT_EQ(rec.ops[1].advance, 16.0);
    EXPECT_EQ(rec.ops[1].line_height, 10.0);
    EXPECT_EQ(rec.ops[1].font, "宋体");
    EXPECT_EQ(rec.ops[1].size, 8.0);
    EXPECT_TRUE(rec.ops[1].end_line);
}

TEST(RecordingSurface, MetricsAreConvertedToTheUserUnit) {
    RecordingSurface rec;
    rec.set_unit(Unit::Millimetre);
    rec.set_font_size(9.0);
    rec.print("x", false);
    EXPECT_DOUBLE_EQ(rec.ops[0].advance, 4.5 * 25.4 / 72.0);
    EXPECT_DOUBLE_EQ(rec.text_x(), 4.5 * 25.4 / 72.0);
    // Switching units keeps the position where it is on the surface.
    rec.set_unit(Unit::Point);
    EXPECT_DOUBLE_EQ(rec.text_x(), 4.5);
}

TEST(RecordingSurface, EveryDrawingCallMovesTheCurrentPoint) {
    RecordingSurface rec;
    rec.line(1, 2, 3, 4);
    rec.line_to(5, 6);
    rec.point(7, 8);
    rec.line_to(9, 10);
    rec.rect(11, 12, 13, 14);
    rec.line_to(15, 16);
    ASSERT_EQ(rec.ops.size(), 6u);
    EXPECT_EQ(rec.ops[1].x1, 3.0);
    EXPECT_EQ(rec.ops[1].y1, 4.0);
    EXPECT_EQ(rec.ops[3].x1, 7.0);
    EXPECT_EQ(rec.ops[3].y1, 8.0);
    EXPECT_EQ(rec.ops[5].x1, 13.0);
    EXPECT_EQ(rec.ops[5].y1, 14.0);
    // Printing starts where the last figure ended.
    rec.print("a", false);
    EXPECT_EQ(rec.ops.back().x1, 15.0);
    EXPECT_EQ(rec.ops.back().y1, 16.0);
}

TEST(RecordingSurface, ClearDropsTheDrawingButKeepsTheSettings) {
    RecordingSurface rec;
    rec.set_unit(Unit::Point);
    rec.set_color(13);
    rec.set_line_width(2);
    rec.set_line_style(LineStyle::Dotted);
    rec.set_font("宋体");
    rec.set_font_size(10.0);
    rec.line(1, 1, 50, 60);
    rec.clear();
    EXPECT_TRUE(rec.ops.empty());
    EXPECT_EQ(rec.text_x(), 0.0);
    EXPECT_EQ(rec.text_y(), 0.0);
    rec.line_to(2, 3);
    const DrawOp& op = rec.ops.at(0);
    EXPECT_EQ(op.x1, 0.0);
    EXPECT_EQ(op.y1, 0.0);
    EXPECT_EQ(op.color, 13);
    EXPECT_EQ(op.width, 2);
    EXPECT_EQ(op.style, LineStyle::Dotted);
    EXPECT_EQ(op.unit, Unit::Point);
    EXPECT_EQ(rec.font_size(), 10.0);
}

TEST(FixedMetrics, CountsCharactersNotBytes) {
    FixedMetrics m;
    EXPECT_EQ(m.text_width_pt("", "宋体", 9.0), 0.0);
    EXPECT_EQ(m.text_width_pt(" 45 ", "宋体", 9.0), 18.0);
    EXPECT_EQ(m.text_width_pt("电压(V)", "宋体", 9.0), 18.0 + 13.5);
    EXPECT_EQ(m.text_width_pt("\u3000", "宋体", 10.0), 10.0);
}

}  // namespace
}  // namespace tavo
