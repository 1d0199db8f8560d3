#include "downhole/rod_string.h"

#include <cmath>
#include <numbers>
#include <optional>

#include "well/rod_table.h"

namespace tavo::downhole {

double mixture_density(const well::Fluid& fluid) {
    const double w = fluid.water_cut_pct / 100.0;
    return w * fluid.water_kg_m3 + (1.0 - w) * fluid.oil_kg_m3;
}

double tensile_strength_MPa(const well::RodTaper& taper) {
    if (taper.tensile_MPa && std::isfinite(*taper.tensile_MPa) && *taper.tensile_MPa > 0.0)
        return *taper.tensile_MPa;
    const std::string& g = taper.grade;
    if (g == "C" || g == "K" || g == "c" || g == "k") return 620.0;
    if (g == "D" || g == "KD" || g == "d" || g == "kd") return 793.0;
    return 0.0;
}

namespace {

// Plausible ranges; outside them the string is refused rather than
// computed into overflow.
bool in_range(double v, double lo, double hi) {
    return std::isfinite(v) && v > lo && v <= hi;
}

}  // namespace

RodStringBuild build_rod_string(const well::WellRecord& well, double damping_nu, double fluid_kg_m3) {
    RodStringBuild out;
    if (well.rods.empty()) {
        out.problem = RodProblem::no_rods;
        return out;
    }
    double total = 0.0;
    for (const auto& t : well.rods) total += std::isfinite(t.length_m) ? t.length_m : 0.0;
    for (std::size_t i = 0; i < well.rods.size(); ++i) {
        const well::RodTaper& t = well.rods[i];
        out.taper = i;
        if (!in_range(t.length_m, 0.0, 10000.0) || !in_range(t.diameter_mm, 5.0, 120.0) ||
            !in_range(t.modulus_GPa, 1.0, 500.0) || !(total <= 12000.0)) {
            out.problem = RodProblem::bad_taper;
            return out;
        }
        const std::optional<double> w = well::weight_kg_per_m(t);
        if (!w || !in_range(*w, 0.05, 200.0)) {
            out.problem = RodProblem::unknown_weight;
            return out;
        }
        RodSection s;
        s.length_m = t.length_m;
        const double d = t.diameter_mm / 1000.0;
        s.area_m2 = std::numbers::pi * d * d / 4.0;
        s.ea_N = t.modulus_GPa * 1e9 * s.area_m2;
        s.sound_m_s = std::sqrt(s.ea_N / *w);
        s.damping_per_s = std::numbers::pi * s.sound_m_s * damping_nu / (2.0 * total);
        s.buoyant_N_per_m = (*w - fluid_kg_m3 * s.area_m2) * kGravity;
        s.tensile_MPa = tensile_strength_MPa(t);
        out.rods.sections.push_back(s);
        out.rods.buoyant_weight_N += s.buoyant_N_per_m * s.length_m;
    }
    out.rods.length_m = total;
    out.taper = 0;
    return out;
}

}  // namespace tavo::downhole
