#include "views/plot_frame.h"

#include <cmath>
#include <cstdio>

namespace tavo::plot {

// Bounds widened to whole steps of 1, 2, 2.5 or 5 times a power of ten,
// with at most `max_div` divisions.
Axis nice_axis(double lo, double hi, int max_div) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) lo = 0.0, hi = 1.0;
    if (!(hi > lo)) hi = lo + 1.0;
    const double raw = (hi - lo) / max_div;
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10.0 * mag;
    for (double m : {1.0, 2.0, 2.5, 5.0}) {
        if (raw <= m * mag * (1 + 1e-9)) {
            step = m * mag;
            break;
        }
    }
    Axis a;
    a.step = step;
    a.lo = std::floor(lo / step + 1e-9) * step;
    a.hi = std::ceil(hi / step - 1e-9) * step;
    if (!(a.hi > a.lo)) a.hi = a.lo + step;
    return a;
}

std::string fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, std::abs(v) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : v);
    return buf;
}

namespace {

std::string axis_label(double v, double step) {
    return fixed(v, step >= 1.0 ? 0 : step >= 0.1 ? 1 : 2);
}

}  // namespace

std::string figure(const std::optional<double>& v, int decimals, bool sign) {
    if (!v || !std::isfinite(*v)) return "—";
    std::string t = fixed(*v, decimals);
    if (sign && *v > 0.0 && t.find_first_not_of("0.") != std::string::npos) t = "+" + t;
    return t;
}

void text(Surface& pic, double x, double y, const std::string& t, int color) {
    pic.set_color(color);
    pic.set_text_pos(x, y);
    pic.print(t, true);
}

void draw_frame(Surface& pic, const Frame& f, const std::string& title, const std::string& x_caption) {
    pic.set_color(kBlack);
    pic.set_line_width(1);
    pic.set_line_style(LineStyle::Dotted);
    for (double v = f.ax.lo; v <= f.ax.hi + f.ax.step * 1e-6; v += f.ax.step) {
        pic.line(f.x(v), f.y0, f.x(v), f.y0 + f.h);
        text(pic, f.x(v) - 2.0, f.y0 + f.h + 0.8, axis_label(v, f.ax.step));
    }
    for (double v = f.ay.lo; v <= f.ay.hi + f.ay.step * 1e-6; v += f.ay.step) {
        pic.line(f.x0, f.y(v), f.x0 + f.w, f.y(v));
        text(pic, f.x0 - 9.0, f.y(v) - 1.6, axis_label(v, f.ay.step));
    }
    pic.set_line_style(LineStyle::Solid);
    if (f.ay.lo < 0.0 && f.ay.hi > 0.0) pic.line(f.x0, f.y(0.0), f.x0 + f.w, f.y(0.0));
    pic.rect(f.x0, f.y0, f.x0 + f.w, f.y0 + f.h);
    text(pic, f.x0, f.y0 - 5.0, title);
    text(pic, f.x0 + f.w - 24.0, f.y0 + f.h + 4.8, x_caption);
}

void draw_curve(Surface& pic, const Frame& f, const std::vector<std::pair<double, double>>& pts, bool close) {
    bool started = false;
    for (const auto& [a, b] : pts) {
        if (!std::isfinite(a) || !std::isfinite(b)) continue;
        if (started) {
            pic.line_to(f.x(a), f.y(b));
        } else {
            pic.point(f.x(a), f.y(b));
            started = true;
        }
    }
    if (close && started && pts.size() > 2) {
        const auto& [a, b] = pts.front();
        if (std::isfinite(a) && std::isfinite(b)) pic.line_to(f.x(a), f.y(b));
    }
}

}  // namespace tavo::plot
