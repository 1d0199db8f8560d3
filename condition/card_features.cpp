#include "condition/card_features.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <memory>
#include <mutex>
#include <numbers>

namespace tavo::condition {

namespace {

using cplx = std::complex<double>;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

constexpr std::size_t kHighestHarmonic = 30;  // the highest harmonic the features use

// The cosines and sines of the DFT's angles of a record of n samples, one
// turn in n steps: [m] for the angle -2π·m/n. Harmonic k at sample i takes
// m = k·i mod n, its angle reduced into one turn.
struct UnitVectors {
    std::size_t n = 0;
    std::vector<double> re, im;
};

// Lengths whose unit vectors are kept for the tests still to come: the
// tests of a batch often share their stroke length, and the workers of a
// batch share what either has computed.
constexpr std::size_t kKeptLengths = 16;

std::shared_ptr<const UnitVectors> unit_vectors(std::size_t n) {
    static std::mutex guard;
    static std::vector<std::shared_ptr<const UnitVectors>> kept;  // the last used at the back
    {
        const std::lock_guard lock(guard);
        const auto it = std::find_if(kept.begin(), kept.end(), [n](const auto& u) { return u->n == n; });
        if (it != kept.end()) {
            std::rotate(it, it + 1, kept.end());
            return kept.back();
        }
    }
    auto u = std::make_shared<UnitVectors>();
    u->n = n;
    u->re.resize(n);
    u->im.resize(n);
    dft_unit_vectors(n, u->re.data(), u->im.data());
    const std::lock_guard lock(guard);
    if (kept.size() == kKeptLengths) kept.erase(kept.begin());
    kept.push_back(u);
    return u;
}

using Harmonics = std::array<cplx, kHighestHarmonic>;

// DFT coefficients 1 .. count of a periodic record of u.n samples, divided
// by its length ([k - 1]; the rest zero); the harmonics side by side, each
// summed over the samples in their order.
Harmonics harmonics(const UnitVectors& u, const std::vector<double>& v, std::size_t count) {
    const std::size_t n = u.n;
    const double* c = u.re.data();
    const double* s = u.im.data();
    std::array<double, kHighestHarmonic> re{}, im{};
    // at[k]: where harmonic k + 1 stands in the turn at sample i.
    std::array<std::size_t, kHighestHarmonic> at{}, step{};
    for (std::size_t k = 0; k < count; ++k) step[k] = (k + 1) % n;
    for (std::size_t i = 0; i < n; ++i) {
        const double x = v[i];
        for (std::size_t k = 0; k < count; ++k) {
            re[k] += x * c[at[k]];
            im[k] += x * s[at[k]];
            at[k] += step[k];
            if (at[k] >= n) at[k] -= n;
        }
    }
    Harmonics h;
    for (std::size_t k = 0; k < kHighestHarmonic; ++k) h[k] = cplx(re[k], im[k]) / static_cast<double>(n);
    return h;
}

// Value at a fractional time of a periodic record (linear interpolation).
double at_time(const std::vector<double>& v, double t) {
    const double n = static_cast<double>(v.size());
    t = std::fmod(t, n);
    if (t < 0.0) t += n;
    const double f = std::floor(t);
    const std::size_t i0 = static_cast<std::size_t>(f) % v.size();
    const std::size_t i1 = (i0 + 1) % v.size();
    return v[i0] + (v[i1] - v[i0]) * (t - f);
}

// One stroke half as the indices it passes, in time order.
std::vector<int> path(int from, int to, int n) {
    std::vector<int> p;
    for (int i = from;; i = (i + 1) % n) {
        p.push_back(i);
        if (i == to) break;
    }
    return p;
}

struct Crossing {
    double value = 0.0;  // the other coordinate, interpolated
    int index = -1;      // first sample at or past the level
};

// First point of `p` where `key` reaches `level` (rising: key >= level;
// falling: key <= level), with `other` interpolated there. When the level is
// never reached, the path's last point.
Crossing first_crossing(const std::vector<int>& p, const std::vector<double>& key,
                        const std::vector<double>& other, double level, bool rising) {
    for (std::size_t k = 0; k < p.size(); ++k) {
        const double x = key[static_cast<std::size_t>(p[k])];
        if (rising ? x >= level : x <= level) {
            if (k == 0) return {other[static_cast<std::size_t>(p[k])], p[k]};
            const auto a = static_cast<std::size_t>(p[k - 1]), b = static_cast<std::size_t>(p[k]);
            const double d = key[b] - key[a];
            const double w = d != 0.0 ? (level - key[a]) / d : 1.0;
            return {other[a] + (other[b] - other[a]) * w, p[k]};
        }
    }
    return {other[static_cast<std::size_t>(p.back())], p.back()};
}

double mean_of(const double* v, int count) {
    double s = 0.0;
    for (int i = 0; i < count; ++i) s += v[i];
    return s / count;
}

// Least-squares slope of v against the grid positions 0.05 + 0.1 k.
double slope_of(const double* v, int first, int last) {
    double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
    const int m = last - first + 1;
    for (int k = first; k <= last; ++k) {
        const double x = 0.05 + 0.1 * k;
        sx += x;
        sy += v[k];
        sxx += x * x;
        sxy += x * v[k];
    }
    const double d = m * sxx - sx * sx;
    return d != 0.0 ? (m * sxy - sx * sy) / d : 0.0;
}

// Share of a stroke half's samples before index `at` (1 when not on it).
double time_share(const std::vector<int>& p, int at) {
    const auto it = std::find(p.begin(), p.end(), at);
    return p.size() > 1 ? static_cast<double>(it - p.begin()) / static_cast<double>(p.size() - 1) : 1.0;
}

// Steepest change of load per stroke along a half, in the sense `sign`
// (+1 taking load, -1 dropping it), over steps of at least 2 % of the
// stroke so that two close samples do not make a spike of it.
double steepest(const std::vector<int>& p, const std::vector<double>& P, const std::vector<double>& L,
                double sign) {
    double best = 0.0;
    std::size_t a = 0;
    for (std::size_t b = 1; b < p.size(); ++b) {
        const auto ia = static_cast<std::size_t>(p[a]), ib = static_cast<std::size_t>(p[b]);
        const double dp = std::abs(P[ib] - P[ia]);
        if (dp < 0.02) continue;
        best = std::max(best, sign * (L[ib] - L[ia]) / dp);
        a = b;
    }
    return std::min(best, 50.0);
}

}  // namespace

void dft_unit_vectors(std::size_t n, double* re, double* im) {
    for (std::size_t m = 0; m < n; ++m) {
        const double a = -kTwoPi * static_cast<double>(m) / static_cast<double>(n);
        re[m] = std::cos(a);
        im[m] = std::sin(a);
    }
}

CardFeatures card_features(const std::vector<double>& pos, const std::vector<double>& load) {
    CardFeatures out;
    const int n = static_cast<int>(std::min(pos.size(), load.size()));
    if (n < 8) return out;
    const auto [pmin, pmax] = std::minmax_element(pos.begin(), pos.begin() + n);
    const auto [lmin, lmax] = std::minmax_element(load.begin(), load.begin() + n);
    const double p_span = *pmax - *pmin, l_span = *lmax - *lmin;
    if (!(p_span > 0.0) || !std::isfinite(p_span) || !std::isfinite(l_span)) return out;
    auto& f = out.value;
    f[kStroke] = p_span;
    f[kMaxLoad] = *lmax;
    f[kMinLoad] = *lmin;
    f[kLoadRange] = l_span;
    f[kMinMaxRatio] = *lmax > 0.0 ? std::max(0.0, *lmin / *lmax) : 0.0;

    // Fractions of the stroke and of the load range.
    std::vector<double> P(static_cast<std::size_t>(n)), L(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const auto ii = static_cast<std::size_t>(i);
        P[ii] = (pos[ii] - *pmin) / p_span;
        L[ii] = l_span > 0.0 ? (load[ii] - *lmin) / l_span : 0.0;
    }
    const int ib = static_cast<int>(pmin - pos.begin()), it = static_cast<int>(pmax - pos.begin());
    out.marks.bottom = ib;
    out.marks.top = it;

    // Time origin: the bottom of the position's fundamental, which noise and
    // flat ends of the stroke do not move.
    const std::shared_ptr<const UnitVectors> unit = unit_vectors(static_cast<std::size_t>(n));
    const cplx p1 = harmonics(*unit, P, 1)[0];
    const double phase = std::arg(p1);
    const double t0 = static_cast<double>(n) * (std::numbers::pi - phase) / kTwoPi;
    for (int j = 0; j < 32; ++j) f[kLoadTime + j] = at_time(L, t0 + j * n / 32.0);
    for (int j = 0; j < 16; ++j) f[kPosTime + j] = at_time(P, t0 + j * n / 16.0);
    double vib = 0.0;
    const Harmonics load_harmonics = harmonics(*unit, L, kHighestHarmonic);
    for (int k = 1; k <= 30; ++k) {
        const cplx c = load_harmonics[static_cast<std::size_t>(k - 1)] * std::polar(2.0, -k * phase);
        if (k <= 8) {
            f[kHarmonics + 2 * (k - 1)] = c.real();
            f[kHarmonics + 2 * (k - 1) + 1] = c.imag();
        }
        if (k >= 6) vib += std::norm(c) / 2.0;
    }
    f[kVibration] = std::sqrt(vib);

    // The two halves of the stroke and their load lines against position.
    const std::vector<int> up = path(ib, it, n), down = path(it, ib, n);
    f[kUpTime] = static_cast<double>(up.size() - 1) / n;
    double* uc = &f[kUpCurve];
    double* dc = &f[kDownCurve];
    for (int k = 0; k < kCurvePoints; ++k) {
        const double x = 0.05 + 0.1 * k;
        uc[k] = first_crossing(up, P, L, x, true).value;
        dc[k] = first_crossing(down, P, L, x, false).value;
    }
    const double hi = mean_of(uc + 2, 6), lo = mean_of(dc + 2, 6);
    f[kUpLevel] = hi;
    f[kDownLevel] = lo;
    f[kUpSlope] = slope_of(uc, 1, 8);
    f[kDownSlope] = slope_of(dc, 1, 8);

    // Valve events: where each half crosses the middle between the lines,
    // and how much stroke the change of load takes. The lines' extremes away
    // from the ends, not their means: a card that unloads part-way down has
    // two levels on its down-stroke.
    const double top_line = *std::max_element(uc + 1, uc + 9),
                 bottom_line = *std::min_element(dc + 1, dc + 9);
    const double mid = (top_line + bottom_line) / 2.0, gap = top_line - bottom_line;
    const double lo_line = bottom_line;
    const Crossing pick = first_crossing(up, L, P, mid, true);
    const Crossing drop = first_crossing(down, L, P, mid, false);
    f[kPickupPos] = pick.value;
    f[kUnloadPos] = drop.value;
    out.marks.pickup = pick.index;
    out.marks.unload = drop.index;
    f[kPickupWidth] = std::abs(first_crossing(up, L, P, lo_line + 0.9 * gap, true).value -
                               first_crossing(up, L, P, lo_line + 0.1 * gap, true).value);
    f[kUnloadWidth] = std::abs(first_crossing(down, L, P, lo_line + 0.1 * gap, false).value -
                               first_crossing(down, L, P, lo_line + 0.9 * gap, false).value);
    f[kPickupTime] = time_share(up, pick.index);
    f[kUnloadTime] = time_share(down, drop.index);
    f[kPickupSpeed] = steepest(up, P, L, 1.0);
    f[kUnloadSpeed] = steepest(down, P, L, -1.0);
    if (gap > 0.0) {
        f[kPreUnload] = (first_crossing(down, P, L, (1.0 + drop.value) / 2.0, false).value - lo_line) / gap;
        f[kPrePickup] = (first_crossing(up, P, L, pick.value / 2.0, true).value - lo_line) / gap;
    }
    const double up_abs = *lmin + hi * l_span, down_abs = *lmin + lo * l_span;
    f[kLineRatio] = up_abs > 0.0 ? std::clamp(down_abs / up_abs, 0.0, 1.0) : 0.0;
    f[kUpPeakPos] = 0.05 + 0.1 * static_cast<double>(std::max_element(uc, uc + kCurvePoints) - uc);

    // The ends of the stroke: spikes, dips, flats.
    double top_max = -1.0, bottom_min = 2.0, top_up_min = 2.0, bottom_down_max = -1.0;
    for (int i = 0; i < n; ++i) {
        const auto ii = static_cast<std::size_t>(i);
        if (P[ii] >= 0.9 && L[ii] > top_max) {
            top_max = L[ii];
            out.marks.top_spike = i;
        }
        if (P[ii] <= 0.1 && L[ii] < bottom_min) {
            bottom_min = L[ii];
            out.marks.bottom_dip = i;
        }
    }
    for (int i : up)
        if (P[static_cast<std::size_t>(i)] >= 0.9)
            top_up_min = std::min(top_up_min, L[static_cast<std::size_t>(i)]);
    for (int i : down)
        if (P[static_cast<std::size_t>(i)] <= 0.1)
            bottom_down_max = std::max(bottom_down_max, L[static_cast<std::size_t>(i)]);
    f[kTopSpike] = top_max - hi;
    f[kBottomDip] = lo - bottom_min;
    f[kTopDrop] = hi - top_up_min;
    f[kBottomRise] = bottom_down_max - lo;

    // Area in time order (the loop, not the points sorted by position).
    double area = 0.0;
    for (int i = 0; i < n; ++i) {
        const auto a = static_cast<std::size_t>(i), b = static_cast<std::size_t>((i + 1) % n);
        area += (L[b] + L[a]) / 2.0 * (P[b] - P[a]);
    }
    f[kAreaRatio] = area;
    return out;
}

std::string card_feature_name(int feature) {
    static constexpr std::array<std::string_view, kNamedCount> named = {
        "unload_pos",  "pickup_pos",  "unload_width", "pickup_width",  "up_level",     "down_level",
        "up_slope",    "down_slope",  "area_ratio",   "min_max_ratio", "top_spike",    "bottom_dip",
        "top_drop",    "bottom_rise", "vibration",    "up_time",       "pickup_speed", "unload_speed",
        "pickup_time", "unload_time", "pre_unload",   "pre_pickup",    "line_ratio",   "up_peak_pos",
        "stroke",      "max_load",    "min_load",     "load_range"};
    if (feature < 0 || feature >= kCardFeatureCount) return "?";
    if (feature < kNamedCount) return std::string(named[static_cast<std::size_t>(feature)]);
    const auto numbered = [](const char* stem, int k) { return std::string(stem) + std::to_string(k); };
    if (feature < kDownCurve) return numbered("up_curve_", feature - kUpCurve);
    if (feature < kLoadTime) return numbered("down_curve_", feature - kDownCurve);
    if (feature < kPosTime) return numbered("load_t", feature - kLoadTime);
    if (feature < kHarmonics) return numbered("pos_t", feature - kPosTime);
    const int h = feature - kHarmonics;
    return numbered(h % 2 == 0 ? "load_h_re" : "load_h_im", h / 2 + 1);
}

}  // namespace tavo::condition
