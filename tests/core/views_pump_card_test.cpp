// The pump card drawn over its surface card: the golden list of operations
// of a made-up card, and what any card must keep to.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "support/ops.h"
#include "views/palette.h"
#include "views/pump_card_view.h"
#include "views/recording_surface.h"

namespace tavo {
namespace {

constexpr double kPi = 3.14159265358979323846;

// A surface card of 3 m and 20..40 kN, and a pump card of 2.6 m whose
// plunger takes 12 kN of fluid load, both of 60 points a stroke.
PumpCardPlot made_up_plot() {
    PumpCardPlot p;
    for (int i = 0; i < 60; ++i) {
        const double a = 2.0 * kPi * i / 60.0;
        p.surface.emplace_back(1.5 * (1.0 - std::cos(a)), 30.0 + 10.0 * std::sin(a));
        const double x = 1.3 * (1.0 - std::cos(a));
        p.pump.emplace_back(x, std::sin(a) > 0.0 ? 12.0 : 0.0);
    }
    p.marks.push_back({{0.0, 12.0}, "固定阀关"});
    p.marks.push_back({{2.6, 0.0}, "游动阀开"});
    return p;
}

TEST(PumpCardView, DrawsAsItsGoldenFile) {
    RecordingSurface rec;
    draw_pump_card(rec, made_up_plot());
    EXPECT_EQ(testing::golden_drawing_mismatch(rec, "pump_card.ops"), "");
}

TEST(PumpCardView, StaysInsideItsSizeWhateverTheCard) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    PumpCardPlot odd = made_up_plot();
    odd.pump[7] = {nan, 3.0};  // a point the solver could not give
    odd.marks.push_back({{nan, nan}, "无"});
    for (const PumpCardPlot& p : {made_up_plot(), odd, PumpCardPlot{}}) {
        RecordingSurface rec;
        draw_pump_card(rec, p);
        for (const DrawOp& op : rec.ops) {
            const bool two_ends =
                op.kind == OpKind::Line || op.kind == OpKind::LineTo || op.kind == OpKind::Rect;
            const double right = op.kind == OpKind::Text ? op.x1 + op.advance : two_ends ? op.x2 : op.x1;
            const double bottom = op.kind == OpKind::Text ? op.y1 + op.line_height : two_ends ? op.y2 : op.y1;
            EXPECT_TRUE(std::isfinite(op.x1) && std::isfinite(op.y1) && std::isfinite(right) &&
                        std::isfinite(bottom));
            EXPECT_GE(std::min(op.x1, right), 0.0) << op.text;
            EXPECT_LE(std::max(op.x1, right), kPumpCardWidthMm) << op.text;
            EXPECT_GE(std::min(op.y1, bottom), 0.0) << op.text;
            EXPECT_LE(std::max(op.y1, bottom), kPumpCardHeightMm) << op.text;
        }
    }
    // The pump card is drawn through every finite point and closed.
    RecordingSurface rec;
    draw_pump_card(rec, odd);
    EXPECT_EQ(testing::curve_ops(rec, kLightRed).size(), 60u);
}

}  // namespace
}  // namespace tavo
