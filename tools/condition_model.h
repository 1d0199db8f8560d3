// Tests with a known answer for the well-condition analysis: a card
// repeated at a known (fractional) stroke period with fresh noise every
// sample and stroke and a random start phase, and motor curves from a
// torque model with a known counterbalance, drive efficiency and idle
// losses. Used by the scoring tool and the condition tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/sample_gen.h"

namespace tavo::samples {

struct ModelPlan {
    double period = 600.0;  // samples per stroke (true value)
    double phase = 0.0;     // start phase, fraction of a stroke
    int point_num = 3000;
    int rec_speed = 1;
    int mode = 1;
    bool reactive_first = false;
    bool power_only = false;   // displacement and load written as 0
    double stroke_m = 0.0;     // 0: the card's own positions (m)
    double load_scale = 1.0;   // card load unit to kN
    double cb_bias = 0.0;      // counterbalance minus the balancing one, kN
    double efficiency = 0.85;  // drive: rod = motor x eff when motoring
    double idle_kw = 0.8;      // idle losses
    double belt = 0.02;        // smoothing of the crank power, fraction of a stroke each side
    double pos_drift_m = 0.0;  // displacement drift over the record
    double power_drift = 0.0;  // relative power drift over the record
    double noise = 0.01;       // relative power noise per sample; twice that stroke to stroke
    uint64_t seed = 1;
};

struct ModelTruth {
    double period = 0.0;           // samples
    double balancing_cb_kn = 0.0;  // displacement-weighted mean load
    double model_cb_kn = 0.0;
    double needed_change_kn = 0.0;  // balancing minus model
    double load_range_kn = 0.0;
    double stroke_m = 0.0;
};

struct ModelTest {
    Curves curves;
    ModelTruth truth;
};

// A card as a pump can draw it. A card whose last point lies far from its
// first (a few of the development set end 6-7 m above their start) is
// closed by a straight return spread over as many points as its travel
// needs; a card whose loop runs the wrong way (the rod would do no work on
// the fluid: an inverted position axis) is traced backwards.
inline CardShape physical_card(CardShape c) {
    const std::size_t n = c.pos.size();
    if (n < 3) return c;
    const auto [lo, hi] = std::minmax_element(c.pos.begin(), c.pos.end());
    const double stroke = *hi - *lo;
    const double gap = c.pos.back() - c.pos.front();
    if (stroke > 0.0 && std::abs(gap) > 0.05 * stroke) {
        const int extra =
            std::max(2, static_cast<int>(std::abs(gap) * static_cast<double>(n) / (2.0 * stroke)));
        const double p0 = c.pos.back(), l0 = c.load.back();
        for (int k = 1; k < extra; ++k) {
            const double w = static_cast<double>(k) / extra;
            c.pos.push_back(p0 + (c.pos.front() - p0) * w);
            c.load.push_back(l0 + (c.load.front() - l0) * w);
        }
    }
    double area = 0.0;
    for (std::size_t i = 0; i < c.pos.size(); ++i) {
        const std::size_t j = (i + 1) % c.pos.size();
        area += (c.load[i] + c.load[j]) / 2.0 * (c.pos[j] - c.pos[i]);
    }
    if (area < 0.0) {
        std::reverse(c.pos.begin() + 1, c.pos.end());
        std::reverse(c.load.begin() + 1, c.load.end());
    }
    return c;
}

inline ModelTest make_model_test(const CardShape& raw, const ModelPlan& p) {
    const CardShape card = physical_card(raw);
    ModelTest t;
    Rng rng(p.seed * 0x9E3779B97F4A7C15ull + 11);
    const int M = 2000;  // fine grid of one stroke
    const std::size_t n = card.pos.size();
    std::vector<double> D(M), L(M);
    double cmin = 1e300, cmax = -1e300;
    for (double v : card.pos) cmin = std::min(cmin, v), cmax = std::max(cmax, v);
    const double pscale = p.stroke_m > 0.0 && cmax > cmin ? p.stroke_m / (cmax - cmin) : 1.0;
    for (int j = 0; j < M; ++j) {
        const double x = static_cast<double>(j) * static_cast<double>(n) / M;
        const std::size_t i0 = static_cast<std::size_t>(x) % n, i1 = (i0 + 1) % n;
        const double w = x - std::floor(x);
        D[j] = ((card.pos[i0] + (card.pos[i1] - card.pos[i0]) * w) - cmin) * pscale;
        L[j] = (card.load[i0] + (card.load[i1] - card.load[i0]) * w) * p.load_scale;
    }
    // Rod velocity (m/s), smoothed: the card's positions are quantised.
    const double stroke_s = p.period * 0.02 * p.rec_speed;
    const auto wrap = [&](int j) { return ((j % M) + M) % M; };
    std::vector<double> V(M);
    const int hv = M / 80;
    for (int j = 0; j < M; ++j) {
        double s = 0.0;
        for (int d = -hv; d <= hv; ++d) s += D[wrap(j + d + 1)] - D[wrap(j + d - 1)];
        V[j] = s / (2 * hv + 1) / 2.0 * M / stroke_s;
    }
    // The balancing counterbalance: the displacement-weighted mean load.
    double lw = 0.0, tw = 0.0;
    for (int j = 0; j < M; ++j) {
        const double dd = std::abs(D[wrap(j + 1)] - D[j]);
        lw += (L[j] + L[wrap(j + 1)]) / 2.0 * dd;
        tw += dd;
    }
    const auto [lo, hi] = std::minmax_element(L.begin(), L.end());
    const auto [dlo, dhi] = std::minmax_element(D.begin(), D.end());
    t.truth.period = p.period;
    t.truth.balancing_cb_kn = tw > 0.0 ? lw / tw : 0.0;
    t.truth.model_cb_kn = t.truth.balancing_cb_kn + p.cb_bias;
    t.truth.needed_change_kn = -p.cb_bias;
    t.truth.load_range_kn = *hi - *lo;
    t.truth.stroke_m = *dhi - *dlo;

    // Crank power through belts and flywheel, then the motor.
    std::vector<double> net(M), P(M);
    for (int j = 0; j < M; ++j) net[j] = (L[j] - t.truth.model_cb_kn) * V[j];
    const int hb = std::max(1, static_cast<int>(p.belt * M));
    for (int j = 0; j < M; ++j) {
        double s = 0.0;
        for (int d = -hb; d <= hb; ++d) s += net[wrap(j + d)];
        const double r = s / (2 * hb + 1);
        P[j] = (r > 0.0 ? r / p.efficiency : r * p.efficiency) + p.idle_kw;
    }

    const double k = apparent_k(p.mode);
    const double u_nom = p.mode == 3 ? 220.0 : 380.0;
    double peak = 0.0;
    for (double v : P) peak = std::max(peak, std::abs(v));
    const double q_mag = 0.4 + 0.3 * peak;
    Curves& c = t.curves;
    long stroke_no = -1;
    double stroke_gain = 1.0;
    for (int i = 0; i < p.point_num; ++i) {
        const double f = i / p.period + p.phase;
        const long s_no = static_cast<long>(std::floor(f));
        if (s_no != stroke_no) {  // every stroke a little different
            stroke_no = s_no;
            stroke_gain = 1.0 + 2.0 * p.noise * rng.sym();
        }
        const double x = (f - std::floor(f)) * M;
        const int j0 = static_cast<int>(x) % M, j1 = (j0 + 1) % M;
        const double w = x - std::floor(x);
        const auto at = [&](const std::vector<double>& v) { return v[j0] + (v[j1] - v[j0]) * w; };
        const double drift = static_cast<double>(i) / p.point_num;
        double pw = at(P) * stroke_gain * (1.0 + p.power_drift * drift);
        pw = pw * (1.0 + p.noise * rng.sym()) + 0.02 * rng.sym();
        const double q = q_mag + 0.2 * std::abs(pw) + 0.01 * q_mag * rng.sym();
        const double s = std::sqrt(pw * pw + q * q);
        double u = u_nom * (1.0 + 0.004 * det_sin(kTwoPi * i / 137.0) + 0.003 * det_sin(kTwoPi * i / 1700.0));
        u += 0.4 * rng.sym();
        c.voltage.push_back(u);
        c.power.push_back(pw);
        c.reactive.push_back(q);
        c.current.push_back(k > 0.0 ? s / (k * u) : 0.0);
        if (p.power_only) {
            c.pos.push_back(0.0);
            c.load.push_back(0.0);
        } else {
            c.pos.push_back(at(D) + p.pos_drift_m * drift + 0.002 * rng.sym());
            c.load.push_back(at(L) * (1.0 + 0.003 * rng.sym()));
        }
    }
    return t;
}

// The tester file of a model test.
inline std::vector<uint8_t> encode_model_test(const ModelPlan& p, const Curves& c, const std::string& well) {
    WellPlan w;
    w.well_name = well;
    w.test_time = "202612081200";
    w.mode = p.mode;
    w.reactive_first = p.reactive_first;
    w.rec_speed = p.rec_speed;
    w.point_num = p.point_num;
    w.cycle = static_cast<int>(std::lround(p.period));
    return encode_test(w, c);
}

// The cards of a cn-oilfield-12class .ts file, in file order.
inline std::vector<CardShape> read_ts_cards(const std::string& path) {
    std::vector<CardShape> cards;
    std::string text;
    if (!detail::read_file(path, text)) return cards;
    for (const std::string& line : detail::lines_of(text)) {
        CardShape c;
        std::string label;
        if (detail::parse_ts_line(line, c, label) != detail::TsLine::Card) continue;
        c.source = path + " #" + std::to_string(cards.size()) + " " + label;
        cards.push_back(std::move(c));
    }
    return cards;
}

}  // namespace tavo::samples
