#include "condition/repetition.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/widest_vectors.h"
#include "condition/parabola.h"

namespace tavo::condition {

namespace {

// A correlation peak: where (refined), how high, and whether it is a real
// maximum rather than the edge of the searched span.
struct Peak {
    double at = 0.0;
    double value = -1.0;
    bool found = false;
};

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
// whole-vector loads. A last block only partly filled is moved back to end
// at hi (its first lags computed twice, to the same bits) rather than left
// to the plain loop, which runs at a fraction of the lanes' rate.
TAVO_WIDEST_VECTORS
void lagged_products(const double* x, int n, int lo, int hi, double* out) {
    int lag0 = lo;
    for (; lag0 <= hi && hi - lo + 1 >= kLagLanes; lag0 += kLagLanes) {
        lag0 = std::min(lag0, hi - kLagLanes + 1);
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

// The correlation at the lags lo .. hi (element k for lag lo + k), each
// computed when first asked for: the search needs it only around a few
// peaks, and every value is the same to the bit whichever others are known.
class LagTable {
public:
    LagTable(const std::vector<double>& x, int lo, int hi)
        : x_(x),
          n_(static_cast<int>(x.size())),
          lo_(lo),
          size_(hi - lo + 1),
          s1_(x.size() + 1, 0.0),
          s2_(s1_),
          r_(static_cast<std::size_t>(size_), 0.0),
          have_(static_cast<std::size_t>(size_), 0),
          products_(r_.size()) {
        for (int i = 0; i < n_; ++i) {
            s1_[i + 1] = s1_[i] + x[i];
            s2_[i + 1] = s2_[i] + x[i] * x[i];
        }
    }
    int size() const { return size_; }
    bool known(int k) const { return have_[static_cast<std::size_t>(k)] != 0; }
    // Known after ensure() of a span holding k.
    double operator[](int k) const { return r_[static_cast<std::size_t>(k)]; }

    // Computes the unknown values of a..b (clipped). A short stretch is
    // widened to a whole block of lanes: a lane costs little next to the
    // pass over the samples.
    void ensure(int a, int b) {
        a = std::max(a, 0);
        b = std::min(b, size_ - 1);
        for (int k = a; k <= b;) {
            if (known(k)) {
                ++k;
                continue;
            }
            int e = k;
            while (e < b && !known(e + 1)) ++e;
            int p = k, q = std::max(e, std::min(size_ - 1, k + kLagLanes - 1));
            if (q - p + 1 < kLagLanes) p = std::max(0, q - kLagLanes + 1);
            compute(p, q);
            k = e + 1;
        }
    }

private:
    void compute(int p, int q) {
        lagged_products(x_.data(), n_, lo_ + p, lo_ + q, products_.data() + p);
        for (int k = p; k <= q; ++k) {
            const int lag = lo_ + k, m = n_ - lag;
            const double sab = products_[static_cast<std::size_t>(k)];
            const double sa = s1_[m], sb = s1_[n_] - s1_[lag];
            const double saa = s2_[m], sbb = s2_[n_] - s2_[lag];
            const double va = saa - sa * sa / m, vb = sbb - sb * sb / m;
            const double cov = sab - sa * sb / m;
            const double den = std::sqrt(va * vb);
            r_[static_cast<std::size_t>(k)] = den > 1e-12 * (saa + sbb) && den > 0.0 ? cov / den : 0.0;
            have_[static_cast<std::size_t>(k)] = 1;
        }
    }

    const std::vector<double>& x_;
    int n_, lo_, size_;
    std::vector<double> s1_, s2_, r_;
    std::vector<char> have_;
    std::vector<double> products_;
};

// The correlation of the record averaged over boxes of d samples, at lags of
// whole boxes: a sketch of the full one for d * d times fewer products. Its
// local maxima say where the full correlation's peaks lie, within a few
// samples; only the lags around them are computed in full.
struct Sketch {
    int d = 1;  // 1: no sketch, every lag is computed in full
    int lo = 0;
    int first = 0;  // rc[0] is at the lag of `first` boxes
    std::vector<double> rc;
    struct Top {
        int k;  // index into the full table
        double value;
    };
    std::vector<Top> tops;  // the local maxima, in the order of the lags
    int margin = 0;         // samples around a top that the full peak may be off

    Sketch(const std::vector<double>& y, int lo_, int reach) : lo(lo_) {
        const int n = static_cast<int>(y.size());
        const int box = std::clamp(lo / 12, 1, 8);
        if (box < 2) return;
        const int nb = n / box;
        std::vector<double> z(static_cast<std::size_t>(nb));
        for (int i = 0; i < nb; ++i) {
            double sum = 0.0;
            for (int j = 0; j < box; ++j) sum += y[static_cast<std::size_t>(box * i + j)];
            z[static_cast<std::size_t>(i)] = sum / box;
        }
        first = std::max(1, lo / box - 1);
        const int last = std::min(nb - 2, reach / box + 2);
        if (last - first < 4) return;
        rc = lag_correlation(z, first, last);
        if (rc.empty()) return;
        d = box;
        margin = d + 2;
        const int m = static_cast<int>(rc.size());
        for (int i = 0; i < m; ++i) {
            const double v = rc[static_cast<std::size_t>(i)];
            if ((i == 0 || v >= rc[static_cast<std::size_t>(i - 1)]) &&
                (i + 1 == m || v >= rc[static_cast<std::size_t>(i + 1)]))
                tops.push_back({d * (first + i) - lo, v});
        }
    }
    bool used() const { return d > 1; }
    // The sketch's value nearest the full table's index k.
    double near(int k) const {
        const long box = std::lround(static_cast<double>(k + lo) / d) - first;
        return rc[static_cast<std::size_t>(std::clamp(box, 0L, static_cast<long>(rc.size()) - 1))];
    }
};

constexpr double kSketchSlack = 0.05;            // how far the sketch may be off a full value that matters
constexpr double kPeakSlack = 0.1;               // the same for a peak that could be the strongest
constexpr double kMostCorrelation = 1.0 + 1e-6;  // a correlation with its rounding

// The vertex of the least-squares parabola through r around index i, within
// half a step of the fitting span; i itself when the curve is not concave.
double refine(LagTable& r, int i, int h) {
    const int n = r.size();
    h = std::min({h, i, n - 1 - i});
    if (h < 1) return i;
    r.ensure(i - h, i + h);
    const Parabola p = fit_parabola([&r, i](int u) { return r[i + u]; }, h);
    if (!(p.c < 0.0)) return i;
    const double d = std::clamp(-p.b / (2.0 * p.c), -0.5 * h, 0.5 * h);
    return i + d;
}

// The highest correlation within [centre - w, centre + w]; `found` only
// when it lies strictly inside the span and inside the lags computed. With
// a sketch, the full values are computed around its tops within reach of
// the highest, and at the ends unless that top stands clear of them.
Peak peak_near(LagTable& r, const Sketch& sk, int lo, double centre, double w) {
    Peak p;
    const int n = r.size();
    const int a = std::max(0, static_cast<int>(std::floor(centre - w)) - lo);
    const int b = std::min(n - 1, static_cast<int>(std::ceil(centre + w)) - lo);
    if (a > b) return p;
    if (!sk.used()) {
        r.ensure(a, b);
    } else {
        const int m = sk.margin;
        double high = -2.0;
        for (const Sketch::Top& t : sk.tops)
            if (t.k >= a - m && t.k <= b + m) high = std::max(high, t.value);
        for (const Sketch::Top& t : sk.tops)
            if (t.k >= a - m && t.k <= b + m && t.value >= high - kSketchSlack) r.ensure(t.k - m, t.k + m);
        if (std::max(sk.near(a), sk.near(b)) >= high - kSketchSlack) {
            r.ensure(a, a + m);
            r.ensure(b - m, b);
        }
    }
    // The highest known value; while a neighbour of it inside the span is
    // unknown (the full peak a little off the sketch's), the lags around it.
    int best = -1;
    for (;;) {
        best = -1;
        for (int k = a; k <= b; ++k)
            if (r.known(k) && (best < 0 || r[k] > r[best])) best = k;
        if (!(best > a && !r.known(best - 1)) && !(best < b && !r.known(best + 1))) break;
        r.ensure(best - 1 - sk.margin, best + 1 + sk.margin);
    }
    p.value = r[best];
    p.found = best > a && best < b;
    p.at = lo + refine(r, best, std::max(1, static_cast<int>(w / 16.0)));
    return p;
}

constexpr double kKeyShare = 0.85;   // a peak this close to the highest is a candidate
constexpr double kMinClarity = 0.3;  // below: no repetition worth the name

}  // namespace

std::vector<double> lag_correlation(const std::vector<double>& x, int lo, int hi) {
    const int n = static_cast<int>(x.size());
    std::vector<double> r;
    if (lo < 1 || hi < lo || hi > n - 2) return r;
    LagTable t(x, lo, hi);
    t.ensure(0, hi - lo);
    r.resize(static_cast<std::size_t>(hi - lo + 1));
    for (int k = 0; k <= hi - lo; ++k) r[static_cast<std::size_t>(k)] = t[k];
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
    if (lo < 1 || reach > n - 2) return rep;
    LagTable r(y, lo, reach);
    const Sketch sk(y, lo, reach);
    const int found_to = hi - lo;  // peaks are looked for up to hi

    // Dominant local maxima: the highest within a quarter of the shortest
    // lag on either side.
    const int w = std::max(2, lo / 4);
    const auto is_peak = [&](int k) {
        const double v = r[k];
        if (v <= 0.0) return false;
        for (int d = -w; d <= w; ++d) {
            const int j = k + d;
            if (j < 0 || j >= r.size() || j == k) continue;
            const double u = r[j];
            if (u > v || (u == v && j < k)) return false;
        }
        // A peak that is only the edge of the computed lags is no peak.
        return r[k - 1] < v && r[k + 1] <= v;
    };
    std::vector<int> peaks;
    double top = 0.0;
    std::vector<char> looked(static_cast<std::size_t>(r.size()), 0);
    const auto look = [&](int a, int b) {
        a = std::max(a, 1);
        b = std::min({b, r.size() - 2, found_to - 1});
        if (a > b) return;
        r.ensure(a - w, b + w);
        for (int k = a; k <= b; ++k) {
            if (looked[static_cast<std::size_t>(k)]) continue;
            looked[static_cast<std::size_t>(k)] = 1;
            if (is_peak(k)) {
                peaks.push_back(k);
                top = std::max(top, r[k]);
            }
        }
    };
    if (!sk.used()) {
        look(1, r.size());
    } else {
        // Only the highest peak and the first within kKeyShare of it count
        // (see below). A correlation is at most 1, so a peak of kKeyShare or
        // more that is the first strong one among those looked at so far
        // stays the first whatever the later ones: the sketch's tops are
        // looked at in the order of the lags until one holds such a peak.
        // Failing that, the highest peak lies at one of the tops near the
        // sketch's highest, and all tops within kKeyShare of it are needed.
        const int m = sk.margin;
        double high = -2.0;
        for (const Sketch::Top& t : sk.tops)
            if (t.k >= 1 - m && t.k < found_to + m) high = std::max(high, t.value);
        // The lags around a top, widened while the full correlation still
        // rises at an end of them; the last lag looked at.
        const int last = std::min(r.size() - 2, found_to - 1);
        const auto look_top = [&](const Sketch::Top& t) {
            int a = std::max(t.k - m, 1), b = std::min(t.k + m, last);
            look(a, b);
            while (a <= b) {
                int best = a;
                for (int k = a + 1; k <= b; ++k)
                    if (r[k] > r[best]) best = k;
                if (best == a && a > 1 && r[a - 1] > r[a]) {
                    look(std::max(a - m, 1), a - 1);
                    a = std::max(a - m, 1);
                } else if (best == b && b < last && r[b + 1] > r[b]) {
                    look(b + 1, std::min(b + m, last));
                    b = std::min(b + m, last);
                } else {
                    break;
                }
            }
            return b;
        };
        const auto candidate = [&](const Sketch::Top& t) {
            return t.k >= 1 - m && t.k < found_to + m && t.value >= kKeyShare * high - kPeakSlack;
        };
        bool settled = false;
        for (const Sketch::Top& t : sk.tops) {
            if (!candidate(t)) continue;
            look_top(t);
            std::sort(peaks.begin(), peaks.end());
            const auto first =
                std::find_if(peaks.begin(), peaks.end(), [&](int k) { return r[k] >= kKeyShare * top; });
            if (first != peaks.end() && r[*first] >= kKeyShare * kMostCorrelation) {
                settled = true;
                break;
            }
        }
        if (!settled) {
            for (const Sketch::Top& t : sk.tops)
                if (candidate(t) && t.value >= high - kPeakSlack) look_top(t);
            for (const Sketch::Top& t : sk.tops) {
                if (!candidate(t)) continue;
                const int b = look_top(t);
                const bool strong = std::any_of(peaks.begin(), peaks.end(),
                                                [&](int k) { return k <= b && r[k] >= kKeyShare * top; });
                if (strong) break;
            }
        }
        std::sort(peaks.begin(), peaks.end());
    }
    if (peaks.empty() || top < kMinClarity) return rep;

    // The first strong repetition.
    double c = 0.0;
    for (int k : peaks)
        if (r[k] >= kKeyShare * top) {
            c = lo + k;
            break;
        }

    // Half a period? Then every other repeat is the better match.
    for (int guard = 0; guard < 3 && 2.0 * c <= hi; ++guard) {
        if (!alternates(y, c)) break;
        const Peak p = peak_near(r, sk, lo, 2.0 * c, c / 4.0);
        if (!p.found) break;
        c = std::round(p.at);
        rep.doubled = true;
    }
    // Twice the period? A repetition at half the lag, as strong and with
    // no alternation, is the stroke.
    if (c / 2.0 >= lo) {
        const Peak h = peak_near(r, sk, lo, c / 2.0, c / 8.0);
        const double rc = peak_near(r, sk, lo, c, c / 8.0).value;
        if (h.found && h.value >= kKeyShare * rc && !alternates(y, std::round(h.at))) c = std::round(h.at);
    }

    // Every multiple within reach (past `hi` as long as half a stroke
    // overlaps), each found near where the estimate so far puts it, fitted
    // through the origin and weighted by its overlap.
    const Peak first = peak_near(r, sk, lo, c, c / 6.0);
    if (first.value < kMinClarity) return rep;
    double t = first.found ? first.at : c;
    double swp = 0.0, sw = 0.0;
    for (int j = 1; j * t <= (j == 1 ? hi : std::min(reach, n - static_cast<int>(t / 2.0))) - 1; ++j) {
        const Peak p = peak_near(r, sk, lo, j * t, std::max(2.0, t / 6.0));
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
