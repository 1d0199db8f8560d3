// One run of the pump-card fuzz target, shared by the libFuzzer entry
// point and the test that replays the committed findings. Bytes become a
// surface card, a well record and settings; values come either as raw
// doubles (NaN, infinities, extremes) or spread over a plausible range, so
// that both the refusals and the arithmetic are reached. A result claimed
// good must be finite and whole; what is not is returned (empty: all held).
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "downhole/pump_card.h"
#include "downhole/surface_card.h"

namespace tavo::fuzz {

namespace downhole_detail {

struct Bytes {
    const uint8_t* data;
    size_t size;
    uint8_t byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
    double value(double lo, double hi) {
        if (byte() < 16) {
            double d = 0.0;
            if (size >= sizeof d) {
                std::memcpy(&d, data, sizeof d);
                data += sizeof d;
                size -= sizeof d;
            }
            return d;
        }
        const unsigned u = static_cast<unsigned>(byte()) << 8 | byte();
        return lo + (hi - lo) * u / 65535.0;
    }
};

inline bool finite(const std::vector<double>& v) {
    for (double x : v)
        if (!std::isfinite(x)) return false;
    return true;
}

}  // namespace downhole_detail

inline std::string fuzz_downhole_once(const uint8_t* data, size_t size) {
    using downhole_detail::finite;
    downhole_detail::Bytes in{data, size};
    tavo::well::WellRecord w;
    const int tapers = in.byte() % 6;
    for (int i = 0; i < tapers; ++i) {
        tavo::well::RodTaper t;
        t.length_m = in.value(0, 3000);
        t.diameter_mm = in.value(0, 60);
        if (in.byte() & 1) t.weight_kg_per_m = in.value(0, 12);
        t.modulus_GPa = in.value(0, 250);
        if (in.byte() & 1) t.tensile_MPa = in.value(-100, 1000);
        w.rods.push_back(t);
    }
    w.pump.depth_m = in.value(0, 4000);
    w.pump.plunger_mm = in.value(0, 120);
    w.tubing.anchored = in.byte() & 1;
    w.fluid.water_cut_pct = in.value(0, 100);
    w.fluid.oil_kg_m3 = in.value(600, 1000);
    w.fluid.water_kg_m3 = in.value(900, 1200);
    w.pressure.tubing_head_MPa = in.value(0, 5);
    w.pressure.casing_MPa = in.value(0, 5);
    if (in.byte() & 1) w.damping_nu = in.value(0, 1);
    tavo::downhole::Settings s;
    s.harmonics = in.byte() % 64;
    s.runtime_h_per_day = in.value(0, 24);
    s.service_factor = in.value(0, 2);
    const double period = in.value(0, 30);
    std::vector<double> pos, load;
    while (in.size > 0) {
        pos.push_back(in.value(0, 5));
        load.push_back(in.value(-20, 150));
    }

    const tavo::downhole::PumpCardResult r = tavo::downhole::pump_card({pos, load, period}, w, s);
    if (r.ok()) {
        const std::size_t n = r.pump_load_kN.size();
        if (n == 0 || r.pump_position_m.size() != n || r.surface_load_kN.size() != n)
            return std::string("arrays of unequal length");
        if (!finite(r.pump_load_kN) || !finite(r.pump_position_m)) return std::string("pump card not finite");
        if (!(r.reading.fillage_pct >= 0.0 && r.reading.fillage_pct <= 100.0))
            return std::string("fillage outside 0..100");
        if (r.tapers.size() != w.rods.size()) return std::string("a taper without its load");
    } else if (!r.pump_load_kN.empty()) {
        return std::string("figures with a refusal");
    }
    const tavo::downhole::SurfaceCardResult up = tavo::downhole::surface_card({pos, load, period}, w, s);
    if (up.ok() && (!finite(up.load_kN) || !finite(up.position_m)))
        return std::string("surface card not finite");
    return {};
}

}  // namespace tavo::fuzz
