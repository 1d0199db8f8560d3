#include "downhole/rod_loading.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tavo::downhole {

std::optional<double> goodman_allowable_MPa(double tensile_MPa, double min_stress_MPa,
                                            double service_factor) {
    if (!(tensile_MPa > 0.0)) return std::nullopt;
    return (tensile_MPa / 4.0 + 0.5625 * min_stress_MPa) * service_factor;
}

std::optional<double> goodman_loading_pct(double max_stress_MPa, double min_stress_MPa, double tensile_MPa,
                                          double service_factor) {
    const auto sa = goodman_allowable_MPa(tensile_MPa, min_stress_MPa, service_factor);
    if (!sa || !(*sa - min_stress_MPa > 0.0)) return std::nullopt;
    return 100.0 * (max_stress_MPa - min_stress_MPa) / (*sa - min_stress_MPa);
}

TaperLoad taper_load(const RodSection& section, double top_depth_m, std::vector<double> load_kN,
                     double service_factor) {
    TaperLoad t;
    t.top_depth_m = top_depth_m;
    t.area_mm2 = section.area_m2 * 1e6;
    t.load_kN = std::move(load_kN);
    if (t.load_kN.empty()) return t;
    const auto [lo, hi] = std::minmax_element(t.load_kN.begin(), t.load_kN.end());
    // kN over mm² is GPa; ×1000 for MPa.
    t.max_stress_MPa = *hi * 1000.0 / t.area_mm2;
    t.min_stress_MPa = *lo * 1000.0 / t.area_mm2;
    t.allowable_MPa = goodman_allowable_MPa(section.tensile_MPa, t.min_stress_MPa, service_factor);
    t.goodman_pct =
        goodman_loading_pct(t.max_stress_MPa, t.min_stress_MPa, section.tensile_MPa, service_factor);
    return t;
}

}  // namespace tavo::downhole
