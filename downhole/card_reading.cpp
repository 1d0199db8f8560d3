#include "downhole/card_reading.h"

#include <algorithm>

namespace tavo::downhole {

std::vector<std::size_t> half_stroke(std::size_t from, std::size_t to, std::size_t n) {
    std::vector<std::size_t> idx;
    if (n == 0) return idx;
    for (std::size_t i = from;; i = (i + 1) % n) {
        idx.push_back(i);
        if (i == to || idx.size() > n) break;
    }
    return idx;
}

namespace {

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

}  // namespace

double band_load(const std::vector<double>& pos, const std::vector<double>& load,
                 const std::vector<std::size_t>& half, double bottom_m, double gross_m, Band band) {
    std::vector<double> in, all;
    for (std::size_t i : half) {
        all.push_back(load[i]);
        const double share = gross_m > 0.0 ? (pos[i] - bottom_m) / gross_m : 0.0;
        if (share >= band.from && share <= band.to) in.push_back(load[i]);
    }
    return median(in.empty() ? all : in);
}

CardReading read_pump_card(const std::vector<double>& pos, const std::vector<double>& load) {
    CardReading r;
    const std::size_t n = pos.size();
    if (n < 2 || load.size() != n) return r;
    r.bottom = static_cast<std::size_t>(std::min_element(pos.begin(), pos.end()) - pos.begin());
    r.top = static_cast<std::size_t>(std::max_element(pos.begin(), pos.end()) - pos.begin());
    const double bottom = pos[r.bottom];
    r.gross_stroke_m = pos[r.top] - bottom;
    const auto up = half_stroke(r.bottom, r.top, n);
    const auto down = half_stroke(r.top, r.bottom, n);
    // The plateaus away from the corners: the up-stroke's upper part (after
    // any gas is compressed), the down-stroke's lower part (after the
    // travelling valve has opened in all but a nearly empty barrel).
    r.upstroke_load_kN = band_load(pos, load, up, bottom, r.gross_stroke_m, {0.4, 0.9});
    r.downstroke_load_kN = band_load(pos, load, down, bottom, r.gross_stroke_m, {0.05, 0.3});
    r.fluid_load_kN = r.upstroke_load_kN - r.downstroke_load_kN;
    if (!(r.fluid_load_kN > 0.0) || !(r.gross_stroke_m > 0.0)) return r;

    const double opens_at = r.downstroke_load_kN + kValveOpenShare * r.fluid_load_kN;
    for (std::size_t k = 1; k < down.size(); ++k) {
        const std::size_t i = down[k], prev = down[k - 1];
        if (load[i] > opens_at) continue;
        // Between the two samples, where the load crosses the level.
        const double span = load[prev] - load[i];
        const double share = span > 0.0 ? std::clamp((load[prev] - opens_at) / span, 0.0, 1.0) : 1.0;
        r.net_stroke_m = pos[prev] + share * (pos[i] - pos[prev]) - bottom;
        break;
    }
    r.net_stroke_m = std::clamp(r.net_stroke_m, 0.0, r.gross_stroke_m);
    r.fillage_pct = std::min(100.0, 100.0 * r.net_stroke_m / r.gross_stroke_m);  // (100·x)/x may round above
    return r;
}

}  // namespace tavo::downhole
