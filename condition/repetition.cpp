#include "condition/repetition.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/widest_vectors.h"

namespace tavo::condition {

namespace {

// A correlation peak: where (refined), how high, and whether it is a real
// maximum rather than the edge of the searched span.
struct Peak {
    double at = 0.0;
    double value = -1.0;
    bool found = false;
};

// The vertex of the least-squares parabola through r around index i, within
// half a step of the fitting span; i itself when the curve is not concave.
double refine(const std::vector<double>& r, int i, int h) {
    const int n = static_cast<int>(r.size());
    h = std::min({h, i, n - 1 - i});
    if (h < 1) return i;
    double s0 = 0, s2 = 0, s4 = 0, sy = 0, suy = 0, su2y = 0;
    for (int u = -h; u <= h; ++u) {
        const double y = r[static_cast<std::size_t>(i + u)];
        const double uu = static_cast<double>(u) * u;
        s0 += 1;
        s2 += uu;
        s4 += uu * uu;
        sy += y;
        suy += u * y;
        su2y += uu * y;
    }
    const double b = suy / s2;
    const double c = (s0 * su2y - s2 * sy) / (s0 * s4 - s2 * s2);
    if (!(c < 0.0)) return i;
    const double d = std::clamp(-b / (2.0 * c), -0.5 * h, 0.5 * h);
    return i + d;
}

// The highest correlation within [centre - w, centre + w]; `found` only
// when it lies strictly inside the span and inside the lags computed.
Peak peak_near(const std::vector<double>& r, int lo, double centre, double w) {
    Peak p;
    const int n = static_cast<int>(r.size());
    const int a = std::max(0, static_cast<int>(std::floor(centre - w)) - lo);
    const int b = std::min(n - 1, static_cast<int>(std::ceil(centre + w)) - lo);
    if (a > b) return p;
    int best = a;
    for (int k = a + 1; k <= b; ++k)
        if (r[static_cast<std::size_t>(k)] > r[static_cast<std::size_t>(best)]) best = k;
    p.value = r[static_cast<std::size_t>(best)];
    p.found = best > a && best < b;
    p.at = lo + refine(r, best, std::max(1, static_cast<int>(w / 16.0)));
    return p;
}

// Pearson correlation of x[a .. a+len-1] with x[b .. b+len-1].
double window_corr(const std::vector<double>& x, int a, int b, int len) {
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    for (int i = 0; i < len; ++i) {
        const double u = x[static_cast<std::size_t>(a + i)], v = x[static_cast<std::size_t>(b + i)];
        sa += u;
        sb += v;
        saa += u * u;
        sbb += v * v;
        sab += u * v;
    }
    const double va = saa - sa * sa / len, vb = sbb - sb * sb / len;
    return va > 0.0 && vb > 0.0 ? (sab - sa * sb / len) / std::sqrt(va * vb) : 0.0;
}

// The slope of x over 2d samples: a step of level (one stroke drawing a
// little more than the last over a large standing load) becomes one short
// blip instead of a whole stretch at another height.
std::vector<double> slopes(const std::vector<double>& x, int d) {
    const int n = static_cast<int>(x.size());
    std::vector<double> s(x.size());
    for (int i = 0; i < n; ++i)
        s[static_cast<std::size_t>(i)] = x[static_cast<std::size_t>(std::min(n - 1, i + d))] -
                                         x[static_cast<std::size_t>(std::max(0, i - d))];
    return s;
}

// Whether the repeats at lag c alternate, so that c is half the period: a
// stretch of c samples matches the one two stretches on clearly better than
// the next one. Each pair is correlated on its own, so stroke-to-stroke
// changes of size cancel and only a difference of shape counts; and the
// slopes are compared rather than the levels, so that a stroke standing a
// little higher than its neighbours does not make every other stretch look
// alike. False when the record is too short to hold three stretches.
bool alternates(const std::vector<double>& series, double c) {
    const int n = static_cast<int>(series.size());
    const int len = static_cast<int>(std::lround(c));
    if (len < 4 || 3 * len > n) return false;
    const std::vector<double> x = slopes(series, std::max(1, len / 32));
    double r1 = 0.0, r2 = 0.0;
    int count = 0;
    for (int i = 0; i + 3 * len <= n; i += std::max(1, len / 4)) {
        r1 += window_corr(x, i, i + len, len);
        r2 += window_corr(x, i, i + 2 * len, len);
        ++count;
    }
    r1 /= count;
    r2 /= count;
    // A small difference counts only when several pairs agree on it.
    return r2 - r1 > 0.03 || (count >= 3 && r2 - r1 > 0.01 && 1.0 - r1 > 3.0 * (1.0 - r2));
}

typedef double v4d __attribute__((vector_size(32)));
constexpr int kLagVecs = 6;
constexpr int kLagLanes = 4 * kLagVecs;

// Sum of x[i] * x[i + lag] over i = 0 .. n-1-lag, for every lag in [lo, hi]
// into out[lag - lo]. Neighbouring lags run side by side in vector lanes,
// each lane adding its products in the same order as a plain loop would, so
// every sum is the same to the bit; their windows are read with
// whole-vector loads.
TAVO_WIDEST_VECTORS
void lagged_products(const double* x, int n, int lo, int hi, double* out) {
    int lag0 = lo;
    for (; lag0 + kLagLanes - 1 <= hi; lag0 += kLagLanes) {
        v4d s[kLagVecs] = {};
        const int common = n - (lag0 + kLagLanes - 1);  // the shortest window of the block
        for (int i = 0; i < common; ++i) {
            const v4d a = {x[i], x[i], x[i], x[i]};
            const double* b = x + lag0 + i;
#pragma GCC unroll 6
            for (std::size_t k = 0; k < kLagVecs; ++k) {
                v4d y;
                std::memcpy(&y, b + 4 * k, sizeof y);
                s[k] = s[k] + a * y;
            }
        }
        for (int l = 0; l < kLagLanes; ++l) {
            double sab = s[l / 4][l % 4];
            for (int i = common; i < n - (lag0 + l); ++i) sab += x[i] * x[i + lag0 + l];
            out[lag0 - lo + l] = sab;
        }
    }
    for (int lag = lag0; lag <= hi; ++lag) {
        double sab = 0.0;
        for (int i = 0; i < n - lag; ++i) sab += x[i] * x[i + lag];
        out[lag - lo] = sab;
    }
}

constexpr double kKeyShare = 0.85;   // a peak this close to the highest is a candidate
constexpr double kMinClarity = 0.3;  // below: no repetition worth the name

}  // namespace

std::vector<double> lag_correlation(const std::vector<double>& x, int lo, int hi) {
    const int n = static_cast<int>(x.size());
    std::vector<double> r;
    if (lo < 1 || hi < lo || hi > n - 2) return r;
    std::vector<double> s1(static_cast<std::size_t>(n) + 1, 0.0), s2(s1);
    for (int i = 0; i < n; ++i) {
        s1[i + 1] = s1[i] + x[i];
        s2[i + 1] = s2[i] + x[i] * x[i];
    }
    r.resize(static_cast<std::size_t>(hi - lo + 1), 0.0);
    std::vector<double> products(r.size());
    lagged_products(x.data(), n, lo, hi, products.data());
    for (int lag = lo; lag <= hi; ++lag) {
        const int m = n - lag;
        const double sab = products[static_cast<std::size_t>(lag - lo)];
        const double sa = s1[m], sb = s1[n] - s1[lag];
        const double saa = s2[m], sbb = s2[n] - s2[lag];
        const double va = saa - sa * sa / m, vb = sbb - sb * sb / m;
        const double cov = sab - sa * sb / m;
        const double den = std::sqrt(va * vb);
        r[static_cast<std::size_t>(lag - lo)] = den > 1e-12 * (saa + sbb) && den > 0.0 ? cov / den : 0.0;
    }
    return r;
}

std::vector<double> detrended(const std::vector<double>& x) {
    const std::size_t n = x.size();
    std::vector<double> y(x);
    if (n < 2) return y;
    const double tm = (static_cast<double>(n) - 1.0) / 2.0;
    double xm = 0.0;
    for (double v : x) xm += v;
    xm /= static_cast<double>(n);
    double num = 0.0, den = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) - tm;
        num += t * (x[i] - xm);
        den += t * t;
    }
    const double slope = num / den;
    for (std::size_t i = 0; i < n; ++i) y[i] = x[i] - xm - slope * (static_cast<double>(i) - tm);
    return y;
}

Repetition find_repetition(const std::vector<double>& x, int min_lag, int max_lag) {
    Repetition rep;
    const int n = static_cast<int>(x.size());
    const int lo = std::max(min_lag, 4);
    const int hi = std::min(max_lag, n - 2);
    if (hi - lo < 8) return rep;
    const std::vector<double> y = detrended(x);
    // Lags past `hi` (down to half a shortest stroke of overlap) only
    // refine the period through a further multiple.
    const int reach = std::max(hi, n - std::max(lo, n / 8));
    const std::vector<double> r = lag_correlation(y, lo, reach);
    if (r.empty()) return rep;
    const int found_to = hi - lo;  // peaks are looked for up to hi

    // Dominant local maxima: the highest within a quarter of the shortest
    // lag on either side.
    const int w = std::max(2, lo / 4);
    std::vector<int> peaks;
    double top = 0.0;
    for (int k = 1; k + 1 < static_cast<int>(r.size()) && k < found_to; ++k) {
        const double v = r[static_cast<std::size_t>(k)];
        if (v <= 0.0) continue;
        bool dominant = true;
        for (int d = -w; d <= w && dominant; ++d) {
            const int j = k + d;
            if (j < 0 || j >= static_cast<int>(r.size()) || j == k) continue;
            const double u = r[static_cast<std::size_t>(j)];
            if (u > v || (u == v && j < k)) dominant = false;
        }
        // A peak that is only the edge of the computed lags is no peak.
        if (dominant && k > 0 && r[static_cast<std::size_t>(k - 1)] < v &&
            r[static_cast<std::size_t>(k + 1)] <= v) {
            peaks.push_back(k);
            top = std::max(top, v);
        }
    }
    if (peaks.empty() || top < kMinClarity) return rep;

    // The first strong repetition.
    double c = 0.0;
    for (int k : peaks)
        if (r[static_cast<std::size_t>(k)] >= kKeyShare * top) {
            c = lo + k;
            break;
        }

    // Half a period? Then every other repeat is the better match.
    for (int guard = 0; guard < 3 && 2.0 * c <= hi; ++guard) {
        if (!alternates(y, c)) break;
        const Peak p = peak_near(r, lo, 2.0 * c, c / 4.0);
        if (!p.found) break;
        c = std::round(p.at);
        rep.doubled = true;
    }
    // Twice the period? A repetition at half the lag, as strong and with
    // no alternation, is the stroke.
    if (c / 2.0 >= lo) {
        const Peak h = peak_near(r, lo, c / 2.0, c / 8.0);
        const double rc = peak_near(r, lo, c, c / 8.0).value;
        if (h.found && h.value >= kKeyShare * rc && !alternates(y, std::round(h.at))) c = std::round(h.at);
    }

    // Every multiple within reach (past `hi` as long as half a stroke
    // overlaps), each found near where the estimate so far puts it, fitted
    // through the origin and weighted by its overlap.
    const Peak first = peak_near(r, lo, c, c / 6.0);
    if (first.value < kMinClarity) return rep;
    double t = first.found ? first.at : c;
    double swp = 0.0, sw = 0.0;
    for (int j = 1; j * t <= (j == 1 ? hi : std::min(reach, n - static_cast<int>(t / 2.0))) - 1; ++j) {
        const Peak p = peak_near(r, lo, j * t, std::max(2.0, t / 6.0));
        if (!p.found || p.value < 0.5 * first.value) continue;
        const double weight = std::max(0.0, p.value) * (n - j * t) / n;
        swp += weight * j * p.at;
        sw += weight * j * j;
        t = swp / sw;
    }
    if (sw <= 0.0) return rep;
    rep.period = t;
    rep.clarity = std::clamp(first.value, 0.0, 1.0);
    return rep;
}

}  // namespace tavo::condition
