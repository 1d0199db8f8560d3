// The least-squares parabola y ≈ a + b·u + c·u² through the points at
// u = -h..h, to place a peak or a trough between two samples.
#pragma once

namespace tavo::condition {

struct Parabola {
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
};

// y(u) is the value at offset u from the middle.
template <class Y>
Parabola fit_parabola(Y&& y, int h) {
    double s0 = 0, s2 = 0, s4 = 0, sy = 0, suy = 0, su2y = 0;
    for (int u = -h; u <= h; ++u) {
        const double v = y(u);
        const double uu = static_cast<double>(u) * u;
        s0 += 1;
        s2 += uu;
        s4 += uu * uu;
        sy += v;
        suy += u * v;
        su2y += uu * v;
    }
    Parabola p;
    p.b = suy / s2;
    p.c = (s0 * su2y - s2 * sy) / (s0 * s4 - s2 * s2);
    p.a = (sy - p.c * s2) / s0;
    return p;
}

}  // namespace tavo::condition
