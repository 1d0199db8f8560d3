// Pump cards and wells of known shape for the pump-card tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "downhole/surface_card.h"
#include "well/well_record.h"

namespace tavo::testing {

inline well::RodTaper rod(double length_m, double mm, double kg_per_m, double gpa = 206.0) {
    well::RodTaper t;
    t.length_m = length_m;
    t.diameter_mm = mm;
    t.weight_kg_per_m = kg_per_m;
    t.modulus_GPa = gpa;
    t.tensile_MPa = 793.0;
    return t;
}

// Three steel tapers over 1500 m, a 44 mm pump.
inline well::WellRecord tapered_well() {
    well::WellRecord w;
    w.well = "test";
    w.rods = {rod(500, 25.4, 4.32), rod(600, 22.2, 3.31), rod(400, 19.05, 2.43)};
    w.pump.depth_m = 1500;
    w.pump.plunger_mm = 44;
    w.fluid.water_cut_pct = 50;
    w.pressure.tubing_head_MPa = 0.5;
    w.pressure.casing_MPa = 0.3;
    return w;
}

// A pump card in time order from the bottom: the plunger on a cosine, the
// load taken up early in the up-stroke and released on the down-stroke
// once the plunger is below fill·stroke (steepness: the load change's
// travel as a share of the stroke, small for a sharp corner).
inline downhole::PumpStroke pump_stroke(std::size_t n, double period_s, double stroke_m, double fluid_kN,
                                        double fill = 1.0, double steepness = 0.03) {
    downhole::PumpStroke p;
    p.period_s = period_s;
    for (std::size_t j = 0; j < n; ++j) {
        const double phase = 2.0 * std::numbers::pi * static_cast<double>(j) / static_cast<double>(n);
        const double x = 0.5 * (1.0 - std::cos(phase));  // share of the stroke
        const bool up = phase < std::numbers::pi;
        // Up: taken up just above the bottom. Down: released at fill, or
        // just below the top for a full barrel.
        const double edge = up ? 4.0 * steepness : std::min(fill, 1.0 - 4.0 * steepness);
        const double s = 1.0 / (1.0 + std::exp(-(x - edge) / steepness));
        p.position_m.push_back(x * stroke_m);
        p.load_kN.push_back(fluid_kN * s);
    }
    return p;
}

// The pump card kept to its first harmonics: the shapes the solver holds
// exactly.
inline std::vector<double> low_pass(const std::vector<double>& x, int m) {
    const std::size_t n = x.size();
    std::vector<double> out(n, 0.0);
    for (int h = 0; h <= m; ++h) {
        double re = 0, im = 0;
        for (std::size_t j = 0; j < n; ++j) {
            const double ph = 2.0 * std::numbers::pi * h * static_cast<double>(j) / static_cast<double>(n);
            re += x[j] * std::cos(ph) / static_cast<double>(n);
            im -= x[j] * std::sin(ph) / static_cast<double>(n);
        }
        for (std::size_t j = 0; j < n; ++j) {
            const double ph = 2.0 * std::numbers::pi * h * static_cast<double>(j) / static_cast<double>(n);
            out[j] += (h == 0 ? 1.0 : 2.0) * (re * std::cos(ph) - im * std::sin(ph));
        }
    }
    return out;
}

}  // namespace tavo::testing
