#include "condition/fine_period.h"

#include <algorithm>
#include <cmath>

namespace tavo::condition {

namespace {

constexpr int kVertexSpan = 3;        // lags either side of the best one in a parabola
constexpr int kMultiples = 4;         // the furthest repeat matched
constexpr double kMinOverlap = 0.4;   // of a stroke, for a repeat to be matched
constexpr int kWindowsPerStroke = 8;  // short enough that a change of gain spoils few
constexpr int kSmoothing = 128;       // half-width of the running mean: a stroke / this

// The record smoothed, and the running sum of its squares.
struct Smoothed {
    std::vector<double> y, squares;
    double energy(int a, int m) const {
        return squares[static_cast<std::size_t>(a + m)] - squares[static_cast<std::size_t>(a)];
    }
};

// The windows of one repeat: the samples matched against the ones `centre`
// later, the same for every lag tried.
struct Windows {
    int count = 0, len = 0;
    int start(int w) const { return w * len / count; }
    int size(int w) const { return (w + 1) * len / count - start(w); }
};

Windows windows_of(int n, double period, int centre, int reach) {
    Windows ws;
    ws.len = n - (centre + reach);
    if (ws.len < kMinOverlap * period || centre - reach < 1) return ws;
    ws.count = std::max(1, ws.len / std::max(8, static_cast<int>(period / kWindowsPerStroke)));
    return ws;
}

// What is left of the window [a, a+m) shifted by centre + u, for every u
// within reach, once the best gain times the unshifted window is taken
// off: a stroke that draws more or less than the last moves no lag.
// False when the window is all zero.
bool window_miss(const Smoothed& s, int a, int m, int centre, int reach, std::vector<double>& miss) {
    const double saa = s.energy(a, m);
    if (!(saa > 0.0)) return false;
    for (int u = -reach; u <= reach; ++u) {
        const int b = a + centre + u;
        const double* p = s.y.data() + a;
        const double* q = s.y.data() + b;
        double sab = 0.0;
        for (int i = 0; i < m; ++i) sab += p[i] * q[i];
        miss[static_cast<std::size_t>(u + reach)] = s.energy(b, m) - sab * sab / saa;
    }
    return true;
}

// The least-squares parabola through f[-h..h]: its vertex (within h),
// curvature and least value. False when it does not open upwards.
bool parabola(const double* f, int h, double& vertex, double& curvature, double& least) {
    double s0 = 0, s2 = 0, s4 = 0, sy = 0, suy = 0, su2y = 0;
    for (int u = -h; u <= h; ++u) {
        const double y = f[u];
        const double uu = static_cast<double>(u) * u;
        s0 += 1;
        s2 += uu;
        s4 += uu * uu;
        sy += y;
        suy += u * y;
        su2y += uu * y;
    }
    curvature = (s0 * su2y - s2 * sy) / (s0 * s4 - s2 * s2);
    if (!(curvature > 0.0)) return false;
    vertex = std::clamp(-suy / s2 / (2.0 * curvature), -static_cast<double>(h), static_cast<double>(h));
    least = (sy - curvature * s2) / s0 - curvature * vertex * vertex;
    return true;
}

// The vertex of the parabola around the least of f, as an offset from the
// middle of f; none when the least lies too near either end.
bool least_of(const std::vector<double>& f, int reach, double& at, double& curvature, double& least) {
    const auto best = static_cast<int>(std::min_element(f.begin(), f.end()) - f.begin());
    if (best < kVertexSpan || best > 2 * reach - kVertexSpan) return false;
    double vertex = 0.0;
    if (!parabola(f.data() + best, kVertexSpan, vertex, curvature, least)) return false;
    at = best - reach + vertex;
    return true;
}

// The one-stroke lag when the estimate may still be some samples off: each
// window finds its own best lag, and the period is their median weighted
// by how sharp and how clean each window's match is, so that the few
// windows where the gain changes (a stroke ends) cannot pull it.
double coarse_lag(const Smoothed& s, double period, int reach) {
    const int centre = static_cast<int>(std::lround(period));
    const Windows ws = windows_of(static_cast<int>(s.y.size()), period, centre, reach);
    std::vector<double> miss(static_cast<std::size_t>(2 * reach + 1));
    std::vector<std::pair<double, double>> found;  // lag, weight
    for (int w = 0; w < ws.count; ++w) {
        const int a = ws.start(w), m = ws.size(w);
        double at = 0.0, curvature = 0.0, least = 0.0;
        if (window_miss(s, a, m, centre, reach, miss) && least_of(miss, reach, at, curvature, least))
            found.emplace_back(centre + at, curvature * m / std::max(least, 1e-12 * s.energy(a, m)));
    }
    if (found.empty()) return period;
    std::sort(found.begin(), found.end());
    double total = 0.0, acc = 0.0;
    for (const auto& f : found) total += f.second;
    for (const auto& f : found)
        if ((acc += f.second) >= total / 2.0) return f.first;
    return found.back().first;
}

// The lag of every repeat from the mismatch summed over its windows, each
// window's in units of its own least (so a window whose gain changes
// inside, and so never matches well, counts little); the repeats combined
// by their sharpness.
double fine_lag(const Smoothed& s, double period) {
    const int reach = 2 * kVertexSpan;
    std::vector<double> miss(static_cast<std::size_t>(2 * reach + 1)), total(miss.size());
    double sw = 0.0, swt = 0.0;
    for (int k = 1; k <= kMultiples; ++k) {
        const int centre = static_cast<int>(std::lround(k * period));
        const Windows ws = windows_of(static_cast<int>(s.y.size()), period, centre, reach);
        if (ws.count == 0) break;
        std::fill(total.begin(), total.end(), 0.0);
        for (int w = 0; w < ws.count; ++w) {
            const int a = ws.start(w), m = ws.size(w);
            if (!window_miss(s, a, m, centre, reach, miss)) continue;
            const double least =
                std::max(*std::min_element(miss.begin(), miss.end()), 1e-12 * s.energy(a, m));
            for (std::size_t u = 0; u < miss.size(); ++u) total[u] += miss[u] * m / least;
        }
        double at = 0.0, curvature = 0.0, least = 0.0;
        if (!least_of(total, reach, at, curvature, least)) continue;
        sw += curvature * k * k;
        swt += curvature * k * k * (centre + at) / k;
    }
    return sw > 0.0 ? swt / sw : period;
}

}  // namespace

double fine_period(const std::vector<double>& x, double period) {
    const int n = static_cast<int>(x.size());
    if (!(period > 0.0) || n < 16) return period;
    // A running mean over a small share of the stroke: the power is smooth
    // at that scale, the noise of single samples is not.
    const int half = static_cast<int>(period / kSmoothing);
    std::vector<double> sum(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 0; i < n; ++i) sum[i + 1] = sum[i] + x[i];
    Smoothed s;
    s.y.resize(static_cast<std::size_t>(n));
    s.squares.assign(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 0; i < n; ++i) {
        const int a = std::max(0, i - half), b = std::min(n, i + half + 1);
        s.y[i] = (sum[b] - sum[a]) / (b - a);
        s.squares[i + 1] = s.squares[i] + s.y[i] * s.y[i];
    }
    // First the one-stroke lag alone, searched over 1 % of the stroke;
    // then every repeat, close around it.
    const double near = coarse_lag(s, period, std::max(4, static_cast<int>(std::ceil(period / 100.0))));
    return fine_lag(s, near);
}

}  // namespace tavo::condition
