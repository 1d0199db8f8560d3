// Rod stresses at each taper's top and their modified Goodman loading
// (API RP 11BR): allowable Sa = (T/4 + 0.5625·Smin)·SF, loading
// = (Smax − Smin)/(Sa − Smin).
#pragma once

#include <optional>
#include <vector>

#include "downhole/pump_card.h"
#include "downhole/rod_string.h"

namespace tavo::downhole {

std::optional<double> goodman_allowable_MPa(double tensile_MPa, double min_stress_MPa, double service_factor);

// Percent; nullopt when the strength is unknown or the allowable range
// (Sa − Smin) is not positive.
std::optional<double> goodman_loading_pct(double max_stress_MPa, double min_stress_MPa, double tensile_MPa,
                                          double service_factor);

// The stresses and Goodman loading of one taper from its top load.
TaperLoad taper_load(const RodSection& section, double top_depth_m, std::vector<double> load_kN,
                     double service_factor);

}  // namespace tavo::downhole
