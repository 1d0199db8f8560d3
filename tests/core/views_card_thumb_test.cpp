// The small card of the diagnosis: the golden list of operations of a
// made-up card, and what any card must keep to.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "support/ops.h"
#include "views/card_thumb_view.h"
#include "views/palette.h"
#include "views/recording_surface.h"

namespace tavo {
namespace {

constexpr double kPi = 3.14159265358979323846;

// A card of 3 m and 20..40 kN, 40 points a stroke, two points read.
CardThumbPlot made_up_card() {
    CardThumbPlot p;
    for (int i = 0; i < 40; ++i) {
        const double a = 2.0 * kPi * i / 40.0;
        p.pos.push_back(static_cast<float>(1.5 * (1.0 - std::cos(a))));
        p.load.push_back(static_cast<float>(30.0 + 10.0 * std::sin(a)));
    }
    p.marks = {{0.0f, 30.0f}, {3.0f, 30.0f}};
    return p;
}

void expect_inside(const RecordingSurface& rec) {
    for (const DrawOp& op : rec.ops) {
        const bool two_ends = op.kind == OpKind::Line || op.kind == OpKind::LineTo || op.kind == OpKind::Rect;
        const double right = op.kind == OpKind::Text ? op.x1 + op.advance : two_ends ? op.x2 : op.x1;
        const double bottom = op.kind == OpKind::Text ? op.y1 + op.line_height : two_ends ? op.y2 : op.y1;
        ASSERT_TRUE(std::isfinite(op.x1) && std::isfinite(op.y1) && std::isfinite(right) &&
                    std::isfinite(bottom));
        EXPECT_GE(std::min(op.x1, right), 0.0) << op.text;
        EXPECT_LE(std::max(op.x1, right), kCardThumbWidthMm + 1e-9) << op.text;
        EXPECT_GE(std::min(op.y1, bottom), 0.0) << op.text;
        EXPECT_LE(std::max(op.y1, bottom), kCardThumbHeightMm + 1e-9) << op.text;
    }
}

TEST(CardThumbView, DrawsAsItsGoldenFile) {
    RecordingSurface rec;
    draw_card_thumb(rec, made_up_card());
    EXPECT_EQ(testing::golden_drawing_mismatch(rec, "card_thumb.ops"), "");
}

TEST(CardThumbView, StaysInsideItsSizeWhateverTheCard) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    CardThumbPlot odd = made_up_card();
    odd.pos[5] = nan;                       // a point the card could not give
    odd.marks.push_back({nan, 1.0f});       // a mark without a place
    odd.marks.push_back({-50.0f, 500.0f});  // one far off the card
    CardThumbPlot flat = made_up_card();
    std::fill(flat.load.begin(), flat.load.end(), 7.0f);  // no load change at all
    CardThumbPlot uneven = made_up_card();
    uneven.load.resize(10);  // positions and loads of different lengths
    for (const CardThumbPlot& p : {made_up_card(), odd, flat, uneven, CardThumbPlot{}}) {
        RecordingSurface rec;
        draw_card_thumb(rec, p);
        expect_inside(rec);
    }
    // The card is drawn through every finite point and closed; a mark
    // without a place is left out.
    RecordingSurface rec;
    draw_card_thumb(rec, odd);
    EXPECT_EQ(testing::curve_ops(rec, kLightMagenta).size(), 40u);
    EXPECT_EQ(testing::curve_ops(rec, kLightRed).size(), 3u * 13u);
}

TEST(CardThumbView, SaysWhenThereIsNoCard) {
    CardThumbPlot one_point;
    one_point.pos = {1.0f};
    one_point.load = {20.0f};
    for (const CardThumbPlot& p : {CardThumbPlot{}, one_point}) {
        RecordingSurface rec;
        draw_card_thumb(rec, p);
        const auto text = std::find_if(rec.ops.begin(), rec.ops.end(),
                                       [](const DrawOp& op) { return op.kind == OpKind::Text; });
        ASSERT_NE(text, rec.ops.end());
        EXPECT_EQ(text->text, "无示功图");
        EXPECT_TRUE(testing::curve_ops(rec, kLightMagenta).empty());
    }
}

}  // namespace
}  // namespace tavo
