#include "views/pump_card_view.h"

#include <algorithm>
#include <cmath>

#include "views/palette.h"
#include "views/plot_frame.h"

namespace tavo {

namespace {

constexpr int kSurfaceColor = 8;  // grey: the card the engineer already knows
constexpr int kPumpColor = kLightRed;
constexpr double kLeft = 14.0, kTop = 12.0, kPlotW = 78.0, kPlotH = 46.0;
constexpr double kMarkLabelMm = 16.0;  // room for a label of four characters

struct Bounds {
    double x_lo = 0.0, x_hi = 0.0, y_lo = 0.0, y_hi = 0.0;
    bool any = false;
    void add(double x, double y) {
        if (!std::isfinite(x) || !std::isfinite(y)) return;
        if (!any) {
            x_lo = x_hi = x, y_lo = y_hi = y, any = true;
            return;
        }
        x_lo = std::min(x_lo, x), x_hi = std::max(x_hi, x);
        y_lo = std::min(y_lo, y), y_hi = std::max(y_hi, y);
    }
};

void legend(Surface& pic, double x, double y, int color, const char* label) {
    pic.set_color(color);
    pic.set_line_width(2);
    pic.line(x, y + 1.9, x + 7.0, y + 1.9);
    pic.set_line_width(1);
    plot::text(pic, x + 9.0, y, label, color);
}

}  // namespace

void draw_pump_card(Surface& pic, const PumpCardPlot& p) {
    pic.set_unit(Unit::Millimetre);
    pic.clear();
    pic.set_line_width(1);
    pic.set_line_style(LineStyle::Solid);
    pic.set_font_size(9.0);

    legend(pic, kLeft, 2.0, kSurfaceColor, "地面示功图");
    legend(pic, kLeft + 40.0, 2.0, kPumpColor, "泵功图");

    // Zero load and zero position are always on the plot: the pump card's
    // loads start from zero, the surface card's positions too.
    Bounds b;
    b.add(0.0, 0.0);
    for (const auto& [x, y] : p.surface) b.add(x, y);
    for (const auto& [x, y] : p.pump) b.add(x, y);
    const plot::Frame f{kLeft,
                        kTop,
                        kPlotW,
                        kPlotH,
                        plot::nice_axis(b.x_lo, b.x_hi > b.x_lo ? b.x_hi : b.x_lo + 1.0),
                        plot::nice_axis(b.y_lo, b.y_hi > b.y_lo ? b.y_hi : b.y_lo + 10.0)};
    plot::draw_frame(pic, f, "载荷(kN)", "位移(m)");

    pic.set_color(kSurfaceColor);
    plot::draw_curve(pic, f, p.surface, true);
    pic.set_color(kPumpColor);
    pic.set_line_width(2);
    plot::draw_curve(pic, f, p.pump, true);
    pic.set_line_width(1);

    // Each valve event as a small square with its label beside it.
    for (const auto& [pt, label] : p.marks) {
        const auto& [x, y] = pt;
        if (!std::isfinite(x) || !std::isfinite(y)) continue;
        pic.set_color(kBlack);
        pic.rect(f.x(x) - 0.8, f.y(y) - 0.8, f.x(x) + 0.8, f.y(y) + 0.8);
        // The label inside the frame: left of a mark in the right half.
        const bool right_half = f.x(x) > kLeft + kPlotW / 2.0;
        plot::text(pic, right_half ? f.x(x) - 1.2 - kMarkLabelMm : f.x(x) + 1.2, f.y(y) - 4.2, label);
    }
}

}  // namespace tavo
