#include "condition/balance.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "common/widest_vectors.h"
#include "condition/fixed_text.h"
#include "condition/own_samples.h"
#include "condition/stroke_split.h"

namespace tavo::condition {

namespace {

constexpr double kMinStroke = 0.3;  // m: the same tests the card results use
constexpr double kMinLoad = 3.0;    // kN
// A stroke whose mean power is below this share of the other's gives no
// power ratio.
constexpr double kLeastShare = 0.05;

// Rod-side power from the motor's active power less the idle losses.
double rod_power(double p, double idle, double eff) {
    const double net = p - idle;
    return net > 0.0 ? net * eff : net / eff;
}

typedef double v4d __attribute__((vector_size(32)));
typedef long long v4l __attribute__((vector_size(32)));
using Surplus3 = std::array<double, 3>;

// The rod's work over samples first .. last-1 for three idle losses at
// once, each lane summing rod_power(p, idle, eff) * dt in sample order as
// the one-at-a-time loop does; the division only where a lane's motor
// does not drive.
TAVO_WIDEST_VECTORS
Surplus3 surpluses(const float* pow, int first, int last, const Surplus3& idle, double dt, double eff) {
    const v4d i = {idle[0], idle[1], idle[2], idle[2]};
    const v4d e = {eff, eff, eff, eff}, t = {dt, dt, dt, dt}, zero = {};
    v4d w = {};
    for (int k = first; k < last; ++k) {
        const double p = pow[k];
        const v4d net = v4d{p, p, p, p} - i;
        const v4l driving = net > zero;
        v4d r = net * e;
        if (!(driving[0] && driving[1] && driving[2]))
            r = reinterpret_cast<v4d>((reinterpret_cast<v4l>(r) & driving) |
                                      (reinterpret_cast<v4l>(net / e) & ~driving));
        w = w + r * t;
    }
    return {w[0], w[1], w[2]};
}

using Rough7 = std::array<double, 7>;

// An estimate of the rod's work over samples first .. last-1 for seven
// idle losses, summed in the quickest order and dividing through the
// efficiency's reciprocal: what surpluses() would give, within
// rough_error().
TAVO_WIDEST_VECTORS
Rough7 rough_surpluses(const float* pow, int first, int last, const Rough7& idle, double dt, double eff) {
    const v4d i0 = {idle[0], idle[1], idle[2], idle[3]}, i1 = {idle[4], idle[5], idle[6], idle[6]};
    const double r = 1.0 / eff;
    const v4l e = reinterpret_cast<v4l>(v4d{eff, eff, eff, eff}),
              inv = reinterpret_cast<v4l>(v4d{r, r, r, r});
    const v4d zero = {};
    // Two samples per step, each into accumulators of its own.
    v4d a0 = {}, a1 = {}, b0 = {}, b1 = {};
    int k = first;
    for (; k + 1 < last; k += 2) {
        const double p = pow[k], q = pow[k + 1];
        const v4d np0 = v4d{p, p, p, p} - i0, np1 = v4d{p, p, p, p} - i1;
        const v4d nq0 = v4d{q, q, q, q} - i0, nq1 = v4d{q, q, q, q} - i1;
        const v4l dp0 = np0 > zero, dp1 = np1 > zero, dq0 = nq0 > zero, dq1 = nq1 > zero;
        a0 = a0 + np0 * reinterpret_cast<v4d>((e & dp0) | (inv & ~dp0));
        a1 = a1 + np1 * reinterpret_cast<v4d>((e & dp1) | (inv & ~dp1));
        b0 = b0 + nq0 * reinterpret_cast<v4d>((e & dq0) | (inv & ~dq0));
        b1 = b1 + nq1 * reinterpret_cast<v4d>((e & dq1) | (inv & ~dq1));
    }
    if (k < last) {
        const double p = pow[k];
        const v4d np0 = v4d{p, p, p, p} - i0, np1 = v4d{p, p, p, p} - i1;
        const v4l dp0 = np0 > zero, dp1 = np1 > zero;
        a0 = a0 + np0 * reinterpret_cast<v4d>((e & dp0) | (inv & ~dp0));
        a1 = a1 + np1 * reinterpret_cast<v4d>((e & dp1) | (inv & ~dp1));
    }
    const v4d w0 = (a0 + b0) * dt, w1 = (a1 + b1) * dt;
    return {w0[0], w0[1], w0[2], w0[3], w1[0], w1[1], w1[2]};
}

// A bound on how far rough_surpluses() and surpluses() can each be from
// the exact sum for one idle loss, given the sum of |power| over the
// samples: a few roundings per sample, with a wide margin.
double rough_error(double abs_power, int count, double idle, double dt, double eff) {
    const double scale = std::max(eff, 1.0 / eff) * std::abs(dt) * (abs_power + count * std::abs(idle));
    return 8.0 * (count + 8.0) * 0x1p-52 * scale;
}

std::string percent(double ratio) {
    return fixed_text(ratio * 100.0, 0) + "%";
}

// Per-stroke sums over a span of samples.
struct Sums {
    double energy = 0.0, rod = 0.0, max_current = -1e300;
    int count = 0;
};

Sums sum_span(const State& st, int a, int b, double dt, double idle, double eff) {
    Sums s;
    for (int i = a; i < b; ++i) {
        const double p = st.Pow_Dat[static_cast<std::size_t>(i)];
        s.energy += p * dt;
        s.rod += rod_power(p, idle, eff) * dt;
        s.max_current = std::max(s.max_current, static_cast<double>(st.Cur_Dat[static_cast<std::size_t>(i)]));
        ++s.count;
    }
    return s;
}

}  // namespace

const char* verdict_name(Verdict v) {
    switch (v) {
        case Verdict::Balanced:
            return "balanced";
        case Verdict::AddCounterbalance:
            return "add_counterbalance";
        case Verdict::ReduceCounterbalance:
            return "reduce_counterbalance";
        default:
            return "unknown";
    }
}

Balance assess_balance(const State& st, const PeriodCheck& period, const BalanceSettings& settings) {
    Balance b;
    const int n = own_sample_count(st);
    const double dt = sample_seconds(st);
    const double eff = std::clamp(settings.efficiency, 0.05, 1.0);

    double dmin = 0.0, dmax = 0.0, lmax = 0.0;
    if (n > 0) {
        const auto [dlo, dhi] = std::minmax_element(st.Pos_Dat.begin(), st.Pos_Dat.begin() + n);
        dmin = *dlo;
        dmax = *dhi;
        lmax = *std::max_element(st.Force_Dat.begin(), st.Force_Dat.begin() + n);
    }
    if (!(dmax - dmin > kMinStroke) || !(lmax > kMinLoad)) {
        b.note = "没有示功图（冲程不大于 0.3 m 或最大载荷不大于 3 kN），分不出上下冲程，无法判断平衡";
        return b;
    }
    if (!period.verified()) {
        b.note = "冲程周期无法校验，分不出上下冲程，无法判断平衡";
        return b;
    }

    // Whole strokes, bottom to bottom, on a lightly smoothed displacement.
    std::vector<double> pos(st.Pos_Dat.begin(), st.Pos_Dat.begin() + n);
    const std::vector<StrokeSpan> spans = split_strokes(pos, period.period);
    if (spans.empty()) {
        b.note = "记录中没有完整的冲程，无法判断平衡";
        return b;
    }
    const int h = std::max(1, static_cast<int>(period.period / 60.0));
    std::vector<double> ds(pos.size());
    for (int i = 0; i < n;) {
        if (i - h >= 0 && i + 3 + h <= n - 1) {
            // Four samples whose windows lie whole inside the record side by
            // side: each still sums its window in order, and the four sums no
            // longer wait on one another.
            const double* p = pos.data() + (i - h);
            double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
            for (int k = 0; k <= 2 * h; ++k) {
                s0 += p[k];
                s1 += p[k + 1];
                s2 += p[k + 2];
                s3 += p[k + 3];
            }
            const int c = 2 * h + 1;
            const auto at = static_cast<std::size_t>(i);
            ds[at] = s0 / c;
            ds[at + 1] = s1 / c;
            ds[at + 2] = s2 / c;
            ds[at + 3] = s3 / c;
            i += 4;
            continue;
        }
        double s = 0.0;
        int c = 0;
        for (int k = std::max(0, i - h); k <= std::min(n - 1, i + h); ++k, ++c)
            s += pos[static_cast<std::size_t>(k)];
        ds[static_cast<std::size_t>(i)] = s / c;
        ++i;
    }

    // The idle losses: over whole strokes the rod receives exactly the
    // card's work, so the constant loss is what makes the motor's energy,
    // through the drive, equal to the card area.
    double card = 0.0;
    int first = spans.front().bottom, last = spans.back().next_bottom;
    for (int i = first; i < last; ++i) {
        const double l0 = st.Force_Dat[static_cast<std::size_t>(i)],
                     l1 = st.Force_Dat[static_cast<std::size_t>(i + 1)];
        card += (l0 + l1) / 2.0 * (ds[static_cast<std::size_t>(i + 1)] - ds[static_cast<std::size_t>(i)]);
    }
    auto surplus = [&](double idle) {
        double w = 0.0;
        for (int i = first; i < last; ++i)
            w += rod_power(st.Pow_Dat[static_cast<std::size_t>(i)], idle, eff) * dt;
        return w - card;
    };
    double mean_p = 0.0;
    for (int i = first; i < last; ++i) mean_p += st.Pow_Dat[static_cast<std::size_t>(i)];
    mean_p /= std::max(1, last - first);
    double idle = 0.0;
    if (mean_p > 0.0 && surplus(0.0) > 0.0) {
        double lo = 0.0, hi = mean_p;
        if (surplus(hi) > 0.0) {
            idle = hi;
        } else {
            // 60 halvings. As long as an estimate settles them beyond
            // doubt, three at a time from estimates at the next midpoint and
            // at the six that can follow it; then two at a time from the
            // surplus itself at the next midpoint and both that can follow
            // it, summed side by side, each choice made as one after the
            // other would make it. Once a midpoint equals a bound it has
            // that bound's side, and no later halving moves anything.
            const float* pow = st.Pow_Dat.data();
            double abs_power = 0.0;
            for (int i = first; i < last; ++i) abs_power += std::abs(static_cast<double>(pow[i]));
            const auto sure = [&](double w, double at) {
                return std::abs(w - card) > rough_error(abs_power, last - first, at, dt, eff);
            };
            int done = 0;
            bool rough = true;
            while (rough && done < 60) {
                const double mid = (lo + hi) / 2.0;
                if (mid == lo || mid == hi) break;
                const double low_mid = (lo + mid) / 2.0, high_mid = (mid + hi) / 2.0;
                const Rough7 at = {mid,
                                   low_mid,
                                   high_mid,
                                   (lo + low_mid) / 2.0,
                                   (low_mid + mid) / 2.0,
                                   (mid + high_mid) / 2.0,
                                   (high_mid + hi) / 2.0};
                const Rough7 w = rough_surpluses(pow, first, last, at, dt, eff);
                // The estimate's slot of each of the three midpoints in turn.
                std::size_t slot = 0;
                for (int level = 0; level < 3 && done < 60; ++level) {
                    if (!sure(w[slot], at[slot])) {
                        rough = false;
                        break;
                    }
                    const bool above = w[slot] - card > 0.0;
                    (above ? lo : hi) = at[slot];
                    ++done;
                    slot = 2 * slot + (above ? 2 : 1);
                }
            }
            while (done < 60) {
                const double mid = (lo + hi) / 2.0;
                if (mid == lo || mid == hi) break;
                const double low_mid = (lo + mid) / 2.0, high_mid = (mid + hi) / 2.0;
                const Surplus3 w = surpluses(pow, first, last, {mid, low_mid, high_mid}, dt, eff);
                const bool above = w[0] - card > 0.0;
                (above ? lo : hi) = mid;
                if (++done == 60) break;
                (w[above ? 2 : 1] - card > 0.0 ? lo : hi) = above ? high_mid : low_mid;
                ++done;
            }
            idle = (lo + hi) / 2.0;
        }
    }
    b.idle_kW = idle;

    StrokeFigures up, down;
    double rod_up = 0.0, rod_down = 0.0, travel = 0.0;
    int up_count = 0, down_count = 0;
    for (const StrokeSpan& s : spans) {
        const Sums u = sum_span(st, s.bottom, s.top, dt, idle, eff);
        const Sums d = sum_span(st, s.top, s.next_bottom, dt, idle, eff);
        up.energy_kJ += u.energy;
        down.energy_kJ += d.energy;
        up.max_current_A += u.max_current;
        down.max_current_A += d.max_current;
        rod_up += u.rod;
        rod_down += d.rod;
        up_count += u.count;
        down_count += d.count;
        travel += s.travel;
    }
    const double k = static_cast<double>(spans.size());
    b.strokes = static_cast<int>(spans.size());
    b.stroke_m = travel / k;
    up.mean_power_kW = up.energy_kJ / (up_count * dt);
    down.mean_power_kW = down.energy_kJ / (down_count * dt);
    up.energy_kJ /= k;
    down.energy_kJ /= k;
    up.max_current_A /= k;
    down.max_current_A /= k;
    b.up = up;
    b.down = down;
    if (up.max_current_A > 0.0) b.current_ratio = down.max_current_A / up.max_current_A;
    // A ratio of mean powers means something only while both strokes draw
    // power: where one is near zero or the motor generates on average, it
    // runs off to any size or sign.
    const double larger = std::max(std::abs(up.mean_power_kW), std::abs(down.mean_power_kW));
    const double smaller = std::min(up.mean_power_kW, down.mean_power_kW);
    if (larger > 0.0 && smaller > kLeastShare * larger) {
        b.power_ratio = down.mean_power_kW / up.mean_power_kW;
    } else {
        const char* which = up.mean_power_kW < down.mean_power_kW ? "上冲程" : "下冲程";
        b.power_ratio_why =
            std::string(which) + (smaller > 0.0 ? "平均功率接近零" : "电机平均处于发电状态，平均功率为负");
    }
    if (b.stroke_m > kMinStroke / 2.0) b.change_kN = (rod_up - rod_down) / k / (2.0 * b.stroke_m);

    // The rule: the power ratio decides whether the unit is balanced; where
    // it is not (or has no ratio), the sign of the change says which way,
    // and a ratio that points the other way leaves no verdict.
    const std::string band =
        fixed_text(settings.band_low * 100.0, 0) + "%–" + fixed_text(settings.band_high * 100.0, 0) + "%";
    const bool in_band =
        b.power_ratio && *b.power_ratio >= settings.band_low && *b.power_ratio <= settings.band_high;
    // What the advice rests on, named in it.
    const std::string basis =
        b.power_ratio
            ? "据功率比（下/上冲程平均功率）" + percent(*b.power_ratio) + "（合格范围 " + band + "）"
            : "功率比无法计算（" + b.power_ratio_why + "），据上下冲程光杆功之差";
    const std::string change = b.change_kN ? fixed_text(std::abs(*b.change_kN), 1) : std::string();
    if (in_band) {
        b.verdict = Verdict::Balanced;
        b.note = basis + "：平衡良好，无需调整";
        if (b.change_kN && change != "0.0")
            b.note += "（上下冲程光杆功之差折合光杆处 " + change + " kN，在合格范围内不必调整）";
    } else if (!b.change_kN) {
        b.verdict = Verdict::Unknown;
        b.note = basis + "：无法判断平衡";
    } else {
        const bool add = *b.change_kN > 0.0;
        const bool ratio_says_add = b.power_ratio && *b.power_ratio < settings.band_low;
        const bool ratio_says_reduce = b.power_ratio && *b.power_ratio > settings.band_high;
        if ((add && ratio_says_reduce) || (!add && ratio_says_add)) {
            b.verdict = Verdict::Unknown;
            b.note = basis + "，与上下冲程光杆功之差（折合光杆处 " + fixed_text(*b.change_kN, 1) +
                     " kN）指向相反：无法判断平衡，请核对测试";
        } else if (add) {
            b.verdict = Verdict::AddCounterbalance;
            b.note = "平衡偏轻：" + basis + "；上冲程光杆功大于下冲程，应加重或外移平衡块，约相当于光杆处 " +
                     change + " kN";
        } else {
            b.verdict = Verdict::ReduceCounterbalance;
            b.note = "平衡偏重：" + basis + "；下冲程光杆功大于上冲程，应减轻或内移平衡块，约相当于光杆处 " +
                     change + " kN";
        }
    }
    return b;
}

}  // namespace tavo::condition
