// A plot of curves on a surface: axes with whole steps, a dotted grid with
// labels, a frame, curves in data units. Shared by the comparison and the
// pump card, in millimetres.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "views/palette.h"
#include "views/surface.h"

namespace tavo::plot {

struct Axis {
    double lo = 0.0, hi = 1.0, step = 1.0;
};

// Bounds widened to whole steps of 1, 2, 2.5 or 5 times a power of ten,
// with at most `max_div` divisions.
Axis nice_axis(double lo, double hi, int max_div = 6);

// `v` with `decimals` decimals, never "-0".
std::string fixed(double v, int decimals);

// A figure as a table shows it: a dash when there is none.
std::string figure(const std::optional<double>& v, int decimals, bool sign = false);

// Prints `t` at (x, y) in `color`.
void text(Surface& pic, double x, double y, const std::string& t, int color = kBlack);

// A plot frame; maps data to the frame's millimetres.
struct Frame {
    double x0, y0, w, h;
    Axis ax, ay;
    double x(double v) const { return x0 + (v - ax.lo) / (ax.hi - ax.lo) * w; }
    double y(double v) const { return y0 + h - (v - ay.lo) / (ay.hi - ay.lo) * h; }
};

// The frame with its dotted grid, axis labels, title above and caption of
// the x axis below.
void draw_frame(Surface& pic, const Frame& f, const std::string& title, const std::string& x_caption);

// A curve through the finite points, closed back to the first when asked.
void draw_curve(Surface& pic, const Frame& f, const std::vector<std::pair<double, double>>& pts, bool close);

}  // namespace tavo::plot
