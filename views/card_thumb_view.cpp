#include "views/card_thumb_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "views/palette.h"

namespace tavo {

namespace {

constexpr int kFrameColor = 7;  // light grey
constexpr int kEmptyColor = 8;  // dark grey
constexpr double kInset = 1.6;
constexpr double kRingRadius = 0.9;
constexpr int kRingSides = 12;

bool finite(float x, float y) {
    return std::isfinite(x) && std::isfinite(y);
}

}  // namespace

void draw_card_thumb(Surface& pic, const CardThumbPlot& p) {
    pic.set_unit(Unit::Millimetre);
    pic.clear();
    pic.set_line_width(1);
    pic.set_line_style(LineStyle::Solid);
    pic.set_color(kFrameColor);
    pic.rect(0.0, 0.0, kCardThumbWidthMm, kCardThumbHeightMm);

    const std::size_t n = std::min(p.pos.size(), p.load.size());
    double x_lo = 0.0, x_hi = 0.0, y_lo = 0.0, y_hi = 0.0;
    std::size_t shown = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!finite(p.pos[i], p.load[i])) continue;
        const double x = p.pos[i], y = p.load[i];
        x_lo = shown == 0 ? x : std::min(x_lo, x), x_hi = shown == 0 ? x : std::max(x_hi, x);
        y_lo = shown == 0 ? y : std::min(y_lo, y), y_hi = shown == 0 ? y : std::max(y_hi, y);
        ++shown;
    }
    if (shown < 2) {
        pic.set_color(kEmptyColor);
        pic.set_font_size(9.0);
        const std::string text = "无示功图";
        pic.set_text_pos((kCardThumbWidthMm - pic.text_width(text)) / 2.0,
                         (kCardThumbHeightMm - pic.line_height()) / 2.0);
        pic.print(text, false);
        return;
    }
    // A flat card (no travel or no load change) sits on the middle line.
    const double dx = std::max(1e-6, x_hi - x_lo), dy = std::max(1e-6, y_hi - y_lo);
    const double w = kCardThumbWidthMm - 2.0 * kInset, h = kCardThumbHeightMm - 2.0 * kInset;
    const auto px = [&](double x) { return kInset + (x - x_lo) / dx * w; };
    const auto py = [&](double y) { return kCardThumbHeightMm - kInset - (y - y_lo) / dy * h; };

    pic.set_color(kLightMagenta);
    pic.set_line_width(2);
    bool first = true;
    double x0 = 0.0, y0 = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!finite(p.pos[i], p.load[i])) continue;
        const double x = px(p.pos[i]), y = py(p.load[i]);
        if (first) {
            pic.point(x, y);
            x0 = x, y0 = y, first = false;
        } else {
            pic.line_to(x, y);
        }
    }
    pic.line_to(x0, y0);  // the stroke is a closed loop

    pic.set_color(kLightRed);
    for (const auto& [pos, load] : p.marks) {
        if (!finite(pos, load)) continue;
        const double cx = std::clamp(px(pos), kRingRadius, kCardThumbWidthMm - kRingRadius);
        const double cy = std::clamp(py(load), kRingRadius, kCardThumbHeightMm - kRingRadius);
        for (int k = 0; k <= kRingSides; ++k) {
            const double a = 2.0 * std::numbers::pi * k / kRingSides;
            const double x = cx + kRingRadius * std::cos(a), y = cy + kRingRadius * std::sin(a);
            if (k == 0)
                pic.point(x, y);
            else
                pic.line_to(x, y);
        }
    }
    pic.set_line_width(1);
}

}  // namespace tavo
