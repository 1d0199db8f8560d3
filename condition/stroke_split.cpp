#include "condition/stroke_split.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tavo::condition {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Centred moving average over 2h+1 samples (shorter at the ends).
std::vector<double> smoothed(const std::vector<double>& x, int h) {
    const int n = static_cast<int>(x.size());
    std::vector<double> s(x.size());
    std::vector<double> c(x.size() + 1, 0.0);
    for (int i = 0; i < n; ++i) c[i + 1] = c[i] + x[i];
    for (int i = 0; i < n; ++i) {
        const int a = std::max(0, i - h), b = std::min(n - 1, i + h);
        s[i] = (c[b + 1] - c[a]) / (b - a + 1);
    }
    return s;
}

int arg_extreme(const std::vector<double>& s, int a, int b, bool lowest) {
    a = std::max(a, 0);
    b = std::min(b, static_cast<int>(s.size()) - 1);
    // The best value so far kept at hand rather than read again through
    // its index, and one loop per direction.
    int best = a;
    double v = s[a];
    if (lowest) {
        for (int i = a + 1; i <= b; ++i)
            if (s[i] < v) v = s[best = i];
    } else {
        for (int i = a + 1; i <= b; ++i)
            if (s[i] > v) v = s[best = i];
    }
    return best;
}

}  // namespace

std::vector<StrokeSpan> split_strokes(const std::vector<double>& pos, double period) {
    std::vector<StrokeSpan> spans;
    const int n = static_cast<int>(pos.size());
    if (period < 8.0 || n < period) return spans;
    const std::vector<double> s = smoothed(pos, std::max(1, static_cast<int>(period / 60.0)));

    // Phase of the fundamental at this period over the whole record.
    double cs = 0.0, sn = 0.0, mean = 0.0;
    for (double v : s) mean += v;
    mean /= n;
    // The angle of sample q * kStep + j is that of q * kStep plus that of
    // j: two short tables of cosines and sines and a rotation instead of a
    // library call per sample (the phase needs nothing near their last bits).
    constexpr int kStep = 64;
    std::array<double, kStep> cj, sj;
    for (int j = 0; j < kStep; ++j) {
        const double a = 2.0 * kPi * j / period;
        cj[static_cast<std::size_t>(j)] = std::cos(a);
        sj[static_cast<std::size_t>(j)] = std::sin(a);
    }
    for (int q = 0; q * kStep < n; ++q) {
        const double a = 2.0 * kPi * (q * kStep) / period;
        const double cq = std::cos(a), sq = std::sin(a);
        for (int j = 0; j < kStep && q * kStep + j < n; ++j) {
            const double v = s[static_cast<std::size_t>(q * kStep + j)] - mean;
            const std::size_t u = static_cast<std::size_t>(j);
            cs += v * (cq * cj[u] - sq * sj[u]);
            sn += v * (sq * cj[u] + cq * sj[u]);
        }
    }
    // The fundamental cs·cos + sn·sin is lowest where its angle is
    // atan2(sn, cs) + pi.
    double phase = std::atan2(sn, cs) + kPi;
    double first = phase / (2.0 * kPi) * period;
    first = std::fmod(first, period);
    if (first < 0.0) first += period;

    // Bottoms near every predicted one. A bottom counts only where the
    // rod rises from it on both sides within a quarter stroke by a good
    // part of its travel: a stroke cut at either end of the record has none.
    const double reach = period / 2.0, side = period / 4.0;
    const auto [lo_it, hi_it] = std::minmax_element(s.begin(), s.end());
    const double need = 0.1 * (*hi_it - *lo_it);
    std::vector<int> bottoms;
    for (double b = first - period; b < n + period; b += period) {
        const int a = std::max(0, static_cast<int>(std::floor(b - reach)));
        const int e = std::min(n - 1, static_cast<int>(std::ceil(b + reach)));
        if (e - a < 2) continue;
        const auto rises = [&](int m) {
            const int left = arg_extreme(s, m - static_cast<int>(side), m, false);
            const int right = arg_extreme(s, m, m + static_cast<int>(side), false);
            return s[left] - s[m] >= need && s[right] - s[m] >= need;
        };
        int m = arg_extreme(s, a, e, true);
        if (!rises(m)) {
            // The lowest may be the cut-off stroke at an end of the record,
            // with the real bottom further in.
            const int a2 = std::max(a, static_cast<int>(side)),
                      e2 = std::min(e, n - 1 - static_cast<int>(side));
            if (a2 >= e2 || (m >= a2 && m <= e2)) continue;
            m = arg_extreme(s, a2, e2, true);
            if (!rises(m)) continue;
        }
        if (!bottoms.empty() && m - bottoms.back() < period / 2.0) continue;
        bottoms.push_back(m);
    }
    for (std::size_t k = 0; k + 1 < bottoms.size(); ++k) {
        const int b0 = bottoms[k], b1 = bottoms[k + 1];
        if (b1 - b0 > 1.5 * period) continue;  // a bottom was missed between them
        const int top = arg_extreme(s, b0 + 1, b1 - 1, false);
        spans.push_back({b0, top, b1, s[top] - s[b0]});
    }
    return spans;
}

}  // namespace tavo::condition
