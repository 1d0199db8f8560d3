#include "condition/fine_period.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "condition/parabola.h"

namespace tavo::condition {

namespace {

constexpr int kVertexSpan = 3;        // lags either side of the best one in a parabola
constexpr int kMultiples = 4;         // the furthest repeat matched
constexpr double kMinOverlap = 0.4;   // of a stroke, for a repeat to be matched
constexpr int kWindowsPerStroke = 8;  // short enough that a change of gain spoils few
constexpr int kSmoothing = 128;       // half-width of the running mean: a stroke / this

// The record smoothed, and the running sums of it and of its squares.
struct Smoothed {
    std::vector<double> y, sums, squares;
    double total(int a, int m) const {
        return sums[static_cast<std::size_t>(a + m)] - sums[static_cast<std::size_t>(a)];
    }
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

// How badly each window of one repeat matches at each lag within reach of
// `centre`: what is left of the shifted window once the best gain times
// the unshifted one and an offset are taken off. The gain is each window's
// own (a stroke that draws more or less than the last moves no lag); the
// offset is common to the repeat (what an additive drift adds over the
// lag), so that it takes no shape away. Row w holds window w, column
// u + reach lag centre + u; an all-zero window has no row (`used` false).
struct RepeatMiss {
    Windows ws;
    int span = 0;
    std::vector<double> miss;
    std::vector<bool> used;
    const double* row(int w) const { return miss.data() + static_cast<std::ptrdiff_t>(w) * span; }
};

RepeatMiss repeat_miss(const Smoothed& s, double period, int centre, int reach) {
    RepeatMiss r;
    r.ws = windows_of(static_cast<int>(s.y.size()), period, centre, reach);
    r.span = 2 * reach + 1;
    const auto count = static_cast<std::size_t>(r.ws.count);
    r.miss.assign(count * static_cast<std::size_t>(r.span), 0.0);
    r.used.assign(count, false);
    std::vector<double> sab(count), sb(count), sbb(count);
    for (std::size_t w = 0; w < count; ++w) {
        const int iw = static_cast<int>(w);
        r.used[w] = s.energy(r.ws.start(iw), r.ws.size(iw)) > 0.0;
    }
    for (int u = -reach; u <= reach; ++u) {
        // Per window the sums of the shifted samples; over all windows the
        // normal equation of the offset once each gain is fitted.
        double a_sum = 0.0, b_sum = 0.0;
        for (std::size_t w = 0; w < count; ++w) {
            if (!r.used[w]) continue;
            const int a = r.ws.start(static_cast<int>(w)), m = r.ws.size(static_cast<int>(w)),
                      b = a + centre + u;
            const double* p = s.y.data() + a;
            const double* q = s.y.data() + b;
            double dot = 0.0;
            for (int i = 0; i < m; ++i) dot += p[i] * q[i];
            sab[w] = dot;
            sb[w] = s.total(b, m);
            sbb[w] = s.energy(b, m);
            const double saa = s.energy(a, m), sa = s.total(a, m);
            a_sum += m - sa * sa / saa;
            b_sum += sb[w] - dot * sa / saa;
        }
        const double c = a_sum > 0.0 ? b_sum / a_sum : 0.0;
        for (std::size_t w = 0; w < count; ++w) {
            if (!r.used[w]) continue;
            const int a = r.ws.start(static_cast<int>(w)), m = r.ws.size(static_cast<int>(w));
            const double saa = s.energy(a, m), sa = s.total(a, m);
            const double cross = sab[w] - c * sa;
            r.miss[w * static_cast<std::size_t>(r.span) + static_cast<std::size_t>(u + reach)] =
                sbb[w] - 2.0 * c * sb[w] + c * c * m - cross * cross / saa;
        }
    }
    return r;
}

// The least-squares parabola through f[-h..h]: its vertex (within h),
// curvature and least value. False when it does not open upwards.
bool parabola(const double* f, int h, double& vertex, double& curvature, double& least) {
    const Parabola p = fit_parabola([f](int u) { return f[u]; }, h);
    curvature = p.c;
    if (!(curvature > 0.0)) return false;
    vertex = std::clamp(-p.b / (2.0 * curvature), -static_cast<double>(h), static_cast<double>(h));
    least = p.a - curvature * vertex * vertex;
    return true;
}

// The vertex of the parabola around the least of f, as an offset from the
// middle of f; none when the least lies too near either end.
bool least_of(const double* f, int reach, double& at, double& curvature, double& least) {
    const auto best =
        static_cast<int>(std::min_element(f, f + (2 * static_cast<std::ptrdiff_t>(reach)) + 1) - f);
    if (best < kVertexSpan || best > 2 * reach - kVertexSpan) return false;
    double vertex = 0.0;
    if (!parabola(f + best, kVertexSpan, vertex, curvature, least)) return false;
    at = best - reach + vertex;
    return true;
}

// The one-stroke lag when the estimate may still be some samples off: each
// window finds its own best lag, and the period is their median weighted
// by how sharp and how clean each window's match is, so that the few
// windows where the gain changes (a stroke ends) cannot pull it.
double coarse_lag(const Smoothed& s, double period, int reach) {
    const int centre = static_cast<int>(std::lround(period));
    const RepeatMiss r = repeat_miss(s, period, centre, reach);
    std::vector<std::pair<double, double>> found;  // lag, weight
    for (int w = 0; w < r.ws.count; ++w) {
        if (!r.used[static_cast<std::size_t>(w)]) continue;
        const int a = r.ws.start(w), m = r.ws.size(w);
        double at = 0.0, curvature = 0.0, least = 0.0;
        if (least_of(r.row(w), reach, at, curvature, least))
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
    std::vector<double> total(static_cast<std::size_t>(2 * reach + 1));
    double sw = 0.0, swt = 0.0;
    for (int k = 1; k <= kMultiples; ++k) {
        const int centre = static_cast<int>(std::lround(k * period));
        const RepeatMiss r = repeat_miss(s, period, centre, reach);
        if (r.ws.count == 0) break;
        std::fill(total.begin(), total.end(), 0.0);
        for (int w = 0; w < r.ws.count; ++w) {
            if (!r.used[static_cast<std::size_t>(w)]) continue;
            const int a = r.ws.start(w), m = r.ws.size(w);
            const double* row = r.row(w);
            const double least = std::max(*std::min_element(row, row + r.span), 1e-12 * s.energy(a, m));
            for (int u = 0; u < r.span; ++u) total[static_cast<std::size_t>(u)] += row[u] * m / least;
        }
        double at = 0.0, curvature = 0.0, least = 0.0;
        if (!least_of(total.data(), reach, at, curvature, least)) continue;
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
    s.sums.assign(static_cast<std::size_t>(n) + 1, 0.0);
    s.squares.assign(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 0; i < n; ++i) {
        const int a = std::max(0, i - half), b = std::min(n, i + half + 1);
        s.y[i] = (sum[b] - sum[a]) / (b - a);
        s.sums[i + 1] = s.sums[i] + s.y[i];
        s.squares[i + 1] = s.squares[i] + s.y[i] * s.y[i];
    }
    // First the one-stroke lag alone, searched over 1 % of the stroke;
    // then every repeat, close around it.
    const double near = coarse_lag(s, period, std::max(4, static_cast<int>(std::ceil(period / 100.0))));
    return fine_lag(s, near);
}

}  // namespace tavo::condition
