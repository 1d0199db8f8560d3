// The "downhole" object of `tavo-cli inspect`: the pump card's figures, the
// rod loading per taper and the diagnosis; with arrays, the pump card and
// the surface stroke it came from. Every key is present; null where a
// figure cannot be computed, and "error" says why.
#pragma once

#include <nlohmann/json.hpp>

#include "downhole/pump_card.h"

namespace tavo::cli {

// Keys: error, fillage_pct, gross_stroke_m, net_stroke_m, fluid_load_kN,
// upstroke_load_kN, downstroke_load_kN, displacement_m3_d, liquid_m3_d,
// liquid_t_d, discharge_pressure_MPa, intake_pressure_MPa, fluid_level_m,
// estimates (the keys that are estimates), strokes_per_min, damping_nu,
// harmonics, reversed, condition, reasons [{condition, reason, value,
// limit}], rods [{top_depth_m, max_stress_MPa, min_stress_MPa,
// allowable_MPa, goodman_pct}], worst_rod (1 = the top taper); with
// arrays: pump_card {position_m, load_kN}, surface_card {position_m,
// load_kN}, one stroke in time order from the bottom of the stroke.
nlohmann::json downhole_object(const tavo::downhole::PumpCardResult& r, bool arrays);

}  // namespace tavo::cli
