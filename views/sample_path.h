// Drawing a sampled curve: a point at sample 0, then lines from the current
// point to samples 1..n-1. A sample whose position cannot be computed is
// left out (the failure rule), and the next line starts where the last one
// drawn ended.
#pragma once

#include "common/fault.h"
#include "views/surface.h"

namespace tavo {

// `pos(i, x, y)` sets the position of sample i in the surface's units; it may
// raise a Fault.
template <class Pos>
void draw_sample_path(Surface& pic, int n, Pos&& pos) {
    stmt([&] {
        double x, y;
        pos(0, x, y);
        pic.point(x, y);
    });
    for (int i = 1; i < n; ++i) {
        stmt([&] {
            double x, y;
            pos(i, x, y);
            pic.line_to(x, y);
        });
    }
}

}  // namespace tavo
