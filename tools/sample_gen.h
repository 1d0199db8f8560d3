// Synthetic tester files for the tests, the benchmarks and the data
// directory: a fixed set of wells whose card shapes come from real
// dynamometer cards (or from a synthetic full-pump / fluid-pound card) and
// whose motor curves follow the torque of the stroke.
//
// Everything here is deterministic: a private PRNG, and only +, -, *, / and
// sqrt on doubles (sine and cosine are computed here too), so the same
// inputs give the same bytes on every run and every standard library.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/numbers.h"
#include "common/text.h"
#include "record/org_records.h"

namespace tavo::samples {

// ---- deterministic helpers ---------------------------------------------

// splitmix64: small, fast and fully specified.
class Rng {
public:
    explicit Rng(uint64_t seed) : s_(seed) {}
    uint64_t next() {
        uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1), 53 bits.
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform in [-1, 1).
    double sym() { return 2.0 * unit() - 1.0; }
    // Integer in [0, n).
    uint64_t below(uint64_t n) { return n == 0 ? 0 : next() % n; }

private:
    uint64_t s_;
};

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// sin(x) from its series after reduction to [-pi, pi]; libm's may differ in
// the last bit between versions, this one cannot.
inline double det_sin(double x) {
    const double turns = static_cast<double>(static_cast<long long>(x / kTwoPi));
    x -= turns * kTwoPi;
    if (x > kPi) x -= kTwoPi;
    if (x < -kPi) x += kTwoPi;
    double term = x, sum = x;
    const double x2 = x * x;
    for (int n = 1; n < 20; ++n) {
        term = -term * x2 / static_cast<double>((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}
inline double det_cos(double x) {
    return det_sin(x + kPi / 2.0);
}

inline double smoothstep(double e0, double e1, double x) {
    double t = (x - e0) / (e1 - e0);
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// ---- card shapes --------------------------------------------------------

// One stroke of a card: positions and loads in time order, evenly spaced in
// time, first point at (or near) the bottom. Units are whatever the source
// used; the generator rescales to the well's stroke and loads.
struct CardShape {
    std::vector<double> pos;
    std::vector<double> load;
    std::string source;  // e.g. "cn-oilfield-12class #9 REGULAR_WORK"
};

enum class SyntheticKind { FullPump, FluidPound };

// A synthetic card of 200 points: crank-like motion, rod stretch at the ends
// of the stroke, and for fluid pound a load that stays up until the plunger
// meets the fluid halfway down.
inline CardShape synthetic_card(SyntheticKind kind) {
    CardShape c;
    const int n = 200;
    for (int i = 0; i < n; ++i) {
        const double f = static_cast<double>(i) / n;  // fraction of the stroke
        const double th = kTwoPi * f;
        c.pos.push_back((1.0 - det_cos(th)) / 2.0 - 0.04 * det_sin(2.0 * th));
        double up = smoothstep(0.0, 0.09, f);
        double down = kind == SyntheticKind::FullPump ? smoothstep(0.5, 0.6, f) : smoothstep(0.73, 0.78, f);
        double l = up - down;
        if (f >= 0.5) l = 1.0 - down;
        // Rod vibration after each change of load, decaying.
        const double since = f < 0.5 ? f : (kind == SyntheticKind::FullPump ? f - 0.5 : f - 0.73);
        if (since > 0.0) l += 0.05 * det_sin(kTwoPi * 9.0 * since) * (1.0 - smoothstep(0.0, 0.3, since));
        // A fluid-pound card sags a little before the pound.
        if (kind == SyntheticKind::FluidPound && f >= 0.5 && f < 0.73) l -= 0.08 * smoothstep(0.5, 0.73, f);
        c.load.push_back(l);
    }
    c.source = kind == SyntheticKind::FullPump ? "synthetic full pump" : "synthetic fluid pound";
    return c;
}

// Where a well's card comes from.
struct CardRef {
    enum class Kind { Synthetic, CnOilfield, SrpDemo };
    Kind kind = Kind::Synthetic;
    SyntheticKind synthetic = SyntheticKind::FullPump;  // also the fallback without real data
    int index = 0;      // cn-oilfield-12class: data line (0-based) of the subset file
    std::string label;  // cn-oilfield-12class: expected class label
    long graph_id = 0;  // srp-demo-apache: graph_id
};

// The real cards read from the data folder.
struct RealCards {
    std::vector<CardShape> cn;           // by data line
    std::vector<std::string> cn_labels;  // by data line
    std::map<long, CardShape> srp;       // by graph_id
};

// What reading the real data met.
struct RealDataReport {
    bool ok = false;
    std::string detail;
};

namespace detail {

inline std::vector<double> split_numbers(const std::string& s, char sep) {
    std::vector<double> v;
    std::size_t p = 0;
    while (p <= s.size()) {
        std::size_t q = s.find(sep, p);
        if (q == std::string::npos) q = s.size();
        const std::string item = s.substr(p, q - p);
        if (!item.empty()) v.push_back(std::strtod(item.c_str(), nullptr));
        p = q + 1;
    }
    return v;
}

inline bool read_file(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    out = ss.str();
    return true;
}

inline std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::string cur;
    for (char ch : text) {
        if (ch == '\n') {
            if (!cur.empty() && cur.back() == '\r') cur.pop_back();
            lines.push_back(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

// Trailing (0, 0) pairs are padding, and a last point equal to the first
// only closes the loop: the stroke is treated as periodic.
inline void tidy_card(CardShape& c) {
    while (c.pos.size() > 1 && c.pos.back() == 0.0 && c.load.back() == 0.0) {
        c.pos.pop_back();
        c.load.pop_back();
    }
    if (c.pos.size() > 2 && c.pos.back() == c.pos.front() && c.load.back() == c.load.front()) {
        c.pos.pop_back();
        c.load.pop_back();
    }
}

// One line of a .ts card file ("pos,...:load,...:LABEL"): Skip for a
// comment or header line, Bad for a card whose two dimensions differ in
// length or that is too short, else the tidied card and its label.
enum class TsLine { Skip, Card, Bad };
inline TsLine parse_ts_line(const std::string& line, CardShape& c, std::string& label) {
    if (line.empty() || line[0] == '#' || line[0] == '@') return TsLine::Skip;
    const std::size_t a = line.find(':');
    const std::size_t b = a == std::string::npos ? a : line.find(':', a + 1);
    if (b == std::string::npos) return TsLine::Skip;
    c.pos = split_numbers(line.substr(0, a), ',');
    c.load = split_numbers(line.substr(a + 1, b - a - 1), ',');
    if (c.pos.size() != c.load.size() || c.pos.size() < 8) return TsLine::Bad;
    tidy_card(c);
    label = line.substr(b + 1);
    return TsLine::Card;
}

}  // namespace detail

// Reads the two real-data sets below `dir` (cn-oilfield-12class and
// srp-demo-apache).
inline RealDataReport read_real_cards(const std::string& dir, RealCards& out) {
    RealDataReport r;
    std::string text;
    const std::string cn_path = dir + "/cn-oilfield-12class/OilfieldData2d_TEST_subset.ts";
    if (!detail::read_file(cn_path, text)) {
        r.detail = "cannot read " + cn_path;
        return r;
    }
    for (const std::string& line : detail::lines_of(text)) {
        CardShape c;
        std::string label;
        const detail::TsLine kind = detail::parse_ts_line(line, c, label);
        if (kind == detail::TsLine::Skip) continue;
        if (kind == detail::TsLine::Bad) {
            r.detail = cn_path + ": a card whose two dimensions differ in length";
            return r;
        }
        c.source = "cn-oilfield-12class #" + std::to_string(out.cn.size()) + " " + label;
        out.cn.push_back(std::move(c));
        out.cn_labels.push_back(label);
    }

    const std::string srp_path = dir + "/srp-demo-apache/demo-dataset.csv";
    if (!detail::read_file(srp_path, text)) {
        r.detail = "cannot read " + srp_path;
        return r;
    }
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    // graph_id -> point_no -> (x, y); rows are unordered and some repeat.
    std::map<long, std::map<long, std::pair<double, double>>> cards;
    bool header = true;
    for (const std::string& line : detail::lines_of(text)) {
        if (header) {
            header = false;
            if (line.rfind("graph_id", 0) == 0) continue;
        }
        const std::vector<double> v = detail::split_numbers(line, ',');
        if (v.size() != 4) continue;
        cards[static_cast<long>(v[0])].emplace(static_cast<long>(v[3]), std::make_pair(v[1], v[2]));
    }
    for (const auto& [id, pts] : cards) {
        CardShape c;
        for (const auto& [no, xy] : pts) {
            c.pos.push_back(xy.first);
            c.load.push_back(xy.second);
        }
        detail::tidy_card(c);
        c.source = "srp-demo-apache graph_id " + std::to_string(id);
        out.srp.emplace(id, std::move(c));
    }
    r.ok = !out.cn.empty() && !out.srp.empty();
    if (!r.ok) r.detail = "no cards found below " + dir;
    return r;
}

// The card a well uses: the real one when it is available, else the
// synthetic card of the same kind.
inline CardShape card_for(const CardRef& ref, const RealCards* real) {
    if (real != nullptr) {
        if (ref.kind == CardRef::Kind::CnOilfield && ref.index >= 0 &&
            static_cast<std::size_t>(ref.index) < real->cn.size() && real->cn_labels[ref.index] == ref.label)
            return real->cn[ref.index];
        if (ref.kind == CardRef::Kind::SrpDemo) {
            const auto it = real->srp.find(ref.graph_id);
            if (it != real->srp.end()) return it->second;
        }
    }
    return synthetic_card(ref.synthetic);
}

// One stroke of `m` samples from a card of n points evenly spaced in time
// (linear interpolation, periodic), both curves rescaled to 0..1.
inline void resample_unit(const CardShape& c, int m, std::vector<double>& pos, std::vector<double>& load) {
    const std::size_t n = c.pos.size();
    pos.assign(m, 0.0);
    load.assign(m, 0.0);
    for (int j = 0; j < m; ++j) {
        const double t = static_cast<double>(j) * static_cast<double>(n) / static_cast<double>(m);
        const std::size_t i0 = static_cast<std::size_t>(t) % n;
        const std::size_t i1 = (i0 + 1) % n;
        const double w = t - static_cast<double>(static_cast<std::size_t>(t));
        pos[j] = c.pos[i0] + (c.pos[i1] - c.pos[i0]) * w;
        load[j] = c.load[i0] + (c.load[i1] - c.load[i0]) * w;
    }
    for (std::vector<double>* v : {&pos, &load}) {
        const auto [lo, hi] = std::minmax_element(v->begin(), v->end());
        const double a = *lo, span = *hi - *lo;
        for (double& x : *v) x = span > 0.0 ? (x - a) / span : 0.0;
    }
}

// ---- the wells ----------------------------------------------------------

struct WellPlan {
    std::string well_name;        // UTF-8, at most 16 bytes in code page 936
    std::string file_name;        // UTF-8
    std::string test_time;        // YYYYMMDDhhmm
    int mode = 1;                 // bits 0-2 of Test_Mode
    bool reactive_first = false;  // bit 14: first word is reactive power
    int rec_speed = 1;
    int point_num = 3000;
    int cycle = 600;        // samples per stroke
    double stroke_m = 3.0;  // polished-rod stroke
    double load_min_kn = 20.0, load_max_kn = 40.0;
    CardRef card;
    bool no_card = false;         // displacement and load written as 0
    double cb_bias = 0.0;         // counterbalance offset, fraction of the load range
    bool negative_power = false;  // the motor generates in part of the stroke
    uint64_t seed = 1;
};

inline double nominal_voltage(const WellPlan& w) {
    return w.mode == 3 ? 220.0 : 380.0;
}

inline double apparent_k(int mode) {
    switch (mode) {
        case 1:
            return std::sqrt(3.0) / 1000.0;
        case 2:
            return 3.0 / 1000.0;
        case 3:
            return 1.0 / 1000.0;
        case 4:
            return 3.0 / 1000.0;
        default:
            return 0.0;
    }
}

// The committed sample set.
inline std::vector<WellPlan> sample_plans() {
    using K = CardRef::Kind;
    using S = SyntheticKind;
    const auto cn = [](int index, const char* label, S fallback) {
        return CardRef{K::CnOilfield, fallback, index, label, 0};
    };
    const auto srp = [](long id) { return CardRef{K::SrpDemo, S::FullPump, 0, "", id}; };
    const auto syn = [](S kind) { return CardRef{K::Synthetic, kind, 0, "", 0}; };
    // clang-format off
    // well name, file name, test time, mode, bit 14, Rec_Speed, samples, samples per stroke,
    // stroke (m), load min and max (kN), card, no card data, counterbalance offset, generates, seed
    return {
        {"杨12-5", "杨12-5.O00", "202611031025", 1, false, 1, 3000, 600, 4.8, 23.7, 34.7,
         cn(9, "REGULAR_WORK", S::FullPump), false, 0.0, false, 101},
        {"北3-17", "北3-17.O01", "202611031142", 2, true, 1, 3000, 750, 5.0, 25.6, 49.7,
         cn(4, "LIQUID_NOT_ENOUGH", S::FluidPound), false, 0.3, true, 102},
        {"W-101", "w101.o00", "202611040907", 3, false, 1, 3000, 400, 1.0, 12.5, 18.9,
         cn(41, "TRAVELLING_VALVE_LEAKAGE", S::FullPump), false, 0.0, false, 103},
        {"杨8-21", "杨8-21.O02", "202611040958", 4, true, 1, 3000, 1500, 6.0, 45.0, 68.0,
         srp(3787), false, 0.0, false, 104},
        {"北5-3", "北5-3.O00", "202611041330", 1, true, 1, 3000, 250, 2.5, 19.9, 54.0,
         cn(6, "GAS_EFFECTIVE", S::FullPump), false, 0.0, true, 105},
        {"港2-34", "港2-34.O00", "202611050815", 2, false, 2, 3000, 500, 2.2, 42.2, 57.0,
         srp(3462), false, 0.0, false, 106},
        {"杨15-9", "杨15-9.O03", "202611050940", 4, false, 1, 2000, 500, 2.75, 22.6, 34.8,
         cn(14, "PUMP_DOWN_BANG", S::FullPump), false, 0.0, false, 107},
        {"DX-08", "DX-08.O00", "202611051105", 1, false, 1, 3000, 550, 3.0, 20.0, 45.0,
         syn(S::FullPump), true, 0.0, false, 108},
        {"SYN-FULL", "SYNFULL.O00", "202611060930", 2, true, 1, 3000, 300, 2.0, 18.0, 32.0,
         syn(S::FullPump), false, 0.0, false, 109},
        {"SYN-POUND", "SYNPOUND.O00", "202611061012", 1, false, 1, 3000, 450, 3.0, 21.0, 42.0,
         syn(S::FluidPound), false, -0.3, true, 110},
        {"濮城南区三号斜井", "濮城南区三号斜井.O00", "202611061420", 4, true, 1, 3000, 900, 1.2, 35.5, 46.6,
         srp(59), false, 1.0, true, 111},
        {"北1-2", "北1-2.O01", "202611070850", 3, true, 1, 3000, 1250, 1.3, 26.9, 29.9,
         srp(3088), false, 0.0, false, 112},
        {"T7-15", "T7-15.O00", "202611071515", 2, false, 1, 3000, 1000, 5.05, 15.5, 38.6,
         cn(25, "REGULAR_WORK", S::FullPump), false, 0.0, false, 113},
    };
    // clang-format on
}

// ---- one test file ------------------------------------------------------

// The engineering curves of one test, before encoding.
struct Curves {
    std::vector<double> current, voltage, power, reactive, pos, load;
};

inline Curves make_curves(const WellPlan& w, const CardShape& card) {
    const int m = w.cycle;
    const double dt = 0.02 * w.rec_speed;
    Rng rng(w.seed * 0x2545F4914F6CDD1Dull + 7);

    // One stroke of the card, in m and kN.
    std::vector<double> up, ul;
    resample_unit(card, m, up, ul);
    const double range = w.load_max_kn - w.load_min_kn;
    std::vector<double> D(m), L(m);
    for (int j = 0; j < m; ++j) {
        D[j] = w.stroke_m * up[j];
        L[j] = w.load_min_kn + range * ul[j];
    }

    // Polished-rod velocity, smoothed over a few samples (the card's
    // position is quantised).
    const int half = std::max(1, m / 80);
    std::vector<double> vel(m);
    for (int j = 0; j < m; ++j) {
        double s = 0.0;
        for (int d = -half; d <= half; ++d) {
            const int a = ((j + d + 1) % m + m) % m, b = ((j + d - 1) % m + m) % m;
            s += (D[a] - D[b]) / (2.0 * dt);
        }
        vel[j] = s / (2 * half + 1);
    }

    // Net power at the crank: rod load against the counterweight (kN·m/s =
    // kW); two humps per stroke when balanced. A balanced unit's
    // counterweight does as much work on the down-stroke as the motor does
    // on the up-stroke: it sits between the velocity-weighted mean loads of
    // the two halves. Belts and the flywheel smooth the result.
    double work_up = 0.0, work_down = 0.0, travel_up = 0.0, travel_down = 0.0;
    for (int j = 0; j < m; ++j) {
        if (vel[j] > 0.0) {
            work_up += L[j] * vel[j];
            travel_up += vel[j];
        } else {
            work_down -= L[j] * vel[j];
            travel_down -= vel[j];
        }
    }
    const double balanced = travel_up > 0.0 && travel_down > 0.0
                                ? (work_up / travel_up + work_down / travel_down) / 2.0
                                : w.load_min_kn + range / 2.0;
    const double cb = balanced + range * w.cb_bias;
    std::vector<double> net(m);
    for (int j = 0; j < m; ++j) net[j] = (L[j] - cb) * vel[j];
    const int sm = std::max(2, m / 50);
    std::vector<double> smooth(m);
    double peak = 0.0;
    for (int j = 0; j < m; ++j) {
        double s = 0.0;
        for (int d = -sm; d <= sm; ++d) s += net[((j + d) % m + m) % m];
        smooth[j] = s / (2 * sm + 1);
        peak = std::max(peak, std::abs(smooth[j]));
    }

    // The motor: efficiency each way, idle losses, magnetising reactive
    // power that grows with the load.
    const double idle = 0.3 + 0.04 * peak;
    const double q_mag = 0.4 + 0.35 * peak;
    // A test mode without a factor (0, 5-7) still records a motor.
    const double k = apparent_k(w.mode) > 0.0 ? apparent_k(w.mode) : apparent_k(1);
    const double u_nom = nominal_voltage(w);
    const int phase = static_cast<int>(rng.below(static_cast<uint64_t>(m)));

    Curves c;
    for (int i = 0; i < w.point_num; ++i) {
        const int j = (i + phase) % m;
        const double n = smooth[j];
        double p = (n > 0.0 ? n / 0.86 : n * 0.86) + idle;
        p *= 1.0 + 0.01 * rng.sym();
        const double q = q_mag + 0.2 * std::abs(p) + 0.01 * q_mag * rng.sym();
        const double s = std::sqrt(p * p + q * q);
        // Supply ripple, a slow drift and the drop along the cable.
        double u = u_nom * (1.0 + 0.004 * det_sin(kTwoPi * i / 137.0) + 0.003 * det_sin(kTwoPi * i / 1700.0));
        u += 0.4 * rng.sym();
        const double i_est = s / (k * u_nom);
        u -= 0.02 * i_est;
        c.voltage.push_back(u);
        c.power.push_back(p);
        c.reactive.push_back(q);
        c.current.push_back(s / (k * u));
        if (w.no_card) {
            c.pos.push_back(0.0);
            c.load.push_back(0.0);
        } else {
            c.pos.push_back(D[j] + 0.002 * rng.sym());
            c.load.push_back(L[j] + 0.002 * range * rng.sym());
        }
    }
    return c;
}

// The tester's mark at the start of the header.
inline std::array<uint8_t, 12> tester_mark() {
    const char tail[] = "Pelor.Vant";
    std::array<uint8_t, 12> m{};
    m[0] = 26;
    m[1] = 21;
    for (int i = 0; i < 10; ++i) m[2 + i] = static_cast<uint8_t>(tail[i]);
    return m;
}

inline Org_Head make_head(const WellPlan& w) {
    Org_Head h;
    h.Head_Mark = tester_mark();
    h.Test_Time = w.test_time;
    h.Sample_Rate = static_cast<int16_t>(50 / w.rec_speed);
    h.Head_26 = 1;
    h.Point_Num = static_cast<int16_t>(w.point_num);
    h.Test_Mode = static_cast<int16_t>(w.mode | (w.reactive_first ? kModeReactiveFirst : 0));
    h.Stroke_Len = to_i16_saturated(w.stroke_m * 1000.0);
    h.Well_Name = w.well_name;
    h.Stroke_Pnt = static_cast<int16_t>(w.cycle);
    h.Rec_Speed = static_cast<int16_t>(w.rec_speed);
    return h;
}

// The whole file: header and samples in the tester's byte layout.
inline std::vector<uint8_t> encode_test(const WellPlan& w, const Curves& c) {
    std::vector<uint8_t> out;
    out.reserve(kHeadSize + kPointSize * c.power.size());
    const HeadBytes hb = encode_head(make_head(w));
    out.insert(out.end(), hb.begin(), hb.end());
    for (std::size_t i = 0; i < c.power.size(); ++i) {
        Org_Point p;
        p.IQ_Raw = to_i16_saturated((w.reactive_first ? c.reactive[i] : c.current[i]) * 100.0);
        p.Vol_Raw = voltage_word(static_cast<float>(c.voltage[i] * 50.0));
        p.Pow_Raw = to_i16_saturated(c.power[i] * 100.0);
        p.Pos_Raw = to_i16_saturated(c.pos[i] * 1000.0);
        p.Force_Raw = to_i16_saturated(c.load[i] * 100.0);
        const PointBytes pb = encode_point(p);
        out.insert(out.end(), pb.begin(), pb.end());
    }
    return out;
}

struct SampleFile {
    std::string file_name;
    std::vector<uint8_t> bytes;
    std::string card_source;
};

inline SampleFile make_sample(const WellPlan& w, const RealCards* real) {
    const CardShape card = card_for(w.card, real);
    return {w.file_name, encode_test(w, make_curves(w, card)), card.source};
}

// The committed set; `real` null uses only synthetic cards.
inline std::vector<SampleFile> generate_samples(const RealCards* real) {
    std::vector<SampleFile> files;
    for (const WellPlan& w : sample_plans()) files.push_back(make_sample(w, real));
    return files;
}

// A well name with a number appended, cut so that it still fits the
// 16-byte field.
inline std::string numbered_name(const std::string& base, int number) {
    const std::string suffix = "-" + std::to_string(number);
    std::string name = base;
    while (!name.empty() && utf8_to_gbk(name + suffix).size() > 16)
        name = left_chars(name, char_count(name) - 1);
    return name + suffix;
}

// The plans of a corpus of `count` files: the sample wells in turn, each
// copy with its own name, file name, test minute and noise. The copies run
// through every test mode 0-7 with and without bit 14 (16 files; a mode
// outside 1-4 with bit 14 gives no current, the slowest kind to analyse),
// then through the well's own stroke, a longer and a shorter one (48
// files); every seventh test has no card data.
inline std::vector<WellPlan> corpus_plans(int count) {
    const std::vector<WellPlan> base = sample_plans();
    std::vector<WellPlan> v;
    for (int n = 0; n < count; ++n) {
        WellPlan w = base[static_cast<std::size_t>(n) % base.size()];
        w.well_name = numbered_name(w.well_name, n + 1);
        w.file_name = w.well_name + ".O" + std::string(n % 100 < 10 ? "0" : "") + std::to_string(n % 100);
        const int minute = (n * 7) % 60;
        w.test_time = w.test_time.substr(0, 10) + (minute < 10 ? "0" : "") + std::to_string(minute);
        w.seed = w.seed * 1000003ull + static_cast<uint64_t>(n);
        w.mode = n % 8;
        w.reactive_first = (n / 8) % 2 == 1;
        if ((n / 16) % 3 == 1) w.cycle = std::min(2400, w.cycle * 8 / 5);
        if ((n / 16) % 3 == 2) w.cycle = std::max(220, w.cycle * 3 / 5);
        if (n % 7 == 3) w.no_card = true;
        v.push_back(std::move(w));
    }
    return v;
}

inline std::vector<SampleFile> generate_corpus(int count, const RealCards* real) {
    std::vector<SampleFile> files;
    for (const WellPlan& w : corpus_plans(count)) files.push_back(make_sample(w, real));
    return files;
}

// The kinds of test in the wide corpus, one after the other.
enum class WideKind { RealCard, PowerOnly, LongStroke, Sample };
inline WideKind wide_kind(int n) {
    switch (n % 5) {
        case 0:
        case 1:
            return WideKind::RealCard;
        case 2:
            return WideKind::PowerOnly;
        case 3:
            return WideKind::LongStroke;
        default:
            return WideKind::Sample;
    }
}

// A corpus as varied as tests in the field: two in five are one real card
// repeated at a period of 5-25 s with its own stroke and loads, one is a
// test of the motor alone (no displacement or load), one a long stroke of
// 5-8 m at 15-25 s, and one a copy of a sample well as in corpus_plans.
// Test modes 1-4, with and without bit 14, and both recording speeds.
// Without real cards (`real` null) the synthetic ones stand in.
inline std::vector<WellPlan> wide_corpus_plans(int count, const RealCards* real) {
    const std::vector<WellPlan> base = sample_plans();
    const std::vector<WellPlan> copies = corpus_plans(count);
    std::vector<CardRef> refs;
    if (real != nullptr) {
        for (std::size_t i = 0; i < real->cn.size(); ++i)
            refs.push_back({CardRef::Kind::CnOilfield, SyntheticKind::FullPump, static_cast<int>(i),
                            real->cn_labels[i], 0});
        for (const auto& [id, card] : real->srp)
            refs.push_back({CardRef::Kind::SrpDemo, SyntheticKind::FullPump, 0, "", id});
    }
    if (refs.empty())
        for (SyntheticKind k : {SyntheticKind::FullPump, SyntheticKind::FluidPound})
            refs.push_back({CardRef::Kind::Synthetic, k, 0, "", 0});
    std::vector<WellPlan> v;
    for (int n = 0; n < count; ++n) {
        const WideKind kind = wide_kind(n);
        if (kind == WideKind::Sample) {
            v.push_back(copies[static_cast<std::size_t>(n)]);
            continue;
        }
        Rng rng(0x5EED0000ull + static_cast<uint64_t>(n));
        WellPlan w = base[static_cast<std::size_t>(n) % base.size()];
        const char* stem = kind == WideKind::RealCard    ? "实卡"
                           : kind == WideKind::PowerOnly ? "电参"
                                                         : "长冲程";
        w.well_name = numbered_name(stem, n + 1);
        w.file_name = w.well_name + ".O" + std::string(n % 100 < 10 ? "0" : "") + std::to_string(n % 100);
        w.seed = 0xC0FFEEull * 1000003ull + static_cast<uint64_t>(n);
        w.mode = 1 + static_cast<int>(rng.below(4));
        w.reactive_first = rng.below(2) == 1;
        w.rec_speed = rng.below(4) == 0 ? 2 : 1;
        w.point_num = 3000;
        w.card = refs[(static_cast<std::size_t>(n) * 7919u) % refs.size()];
        w.no_card = kind == WideKind::PowerOnly;
        const double period =
            kind == WideKind::LongStroke ? 15.0 + 10.0 * rng.unit() : 5.0 + 20.0 * rng.unit();
        w.cycle = static_cast<int>(period / (0.02 * w.rec_speed) + 0.5);
        w.stroke_m = kind == WideKind::LongStroke ? 5.0 + 3.0 * rng.unit() : 1.2 + 4.0 * rng.unit();
        w.load_min_kn = 10.0 + 30.0 * rng.unit();
        w.load_max_kn = w.load_min_kn + 5.0 + 35.0 * rng.unit();
        w.cb_bias = 0.3 * rng.sym();
        v.push_back(std::move(w));
    }
    return v;
}

inline std::vector<SampleFile> generate_wide_corpus(int count, const RealCards* real) {
    std::vector<SampleFile> files;
    for (const WellPlan& w : wide_corpus_plans(count, real)) files.push_back(make_sample(w, real));
    return files;
}

}  // namespace tavo::samples
