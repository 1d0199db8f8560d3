// The pump (downhole) card: the surface card carried down the tapered rod
// string by the damped wave equation, and what is read off it: plunger
// strokes, fillage, fluid load, production, pump intake pressure, fluid
// level, rod stresses with their Goodman loading, and a diagnosis.
//
// Conventions of every figure here:
// - Position: upward, metres; the surface card's as given (above the bottom
//   of the stroke); the plunger's from its own lowest point.
// - Load: tension positive, kN. The pump load is the rod load at the pump
//   with the buoyant weight of the whole string removed, so that the
//   down-stroke of a full pump lies near 0 and the up-stroke near the fluid
//   load. A taper's load is the rod load at its top on the same footing
//   (the buoyant weight of the rods above removed from the surface load).
// - Time: every array runs forward in time over one stroke, starting at the
//   surface card's lowest position (the start of the up-stroke). The
//   direction of travel of the input is detected: the rising half of a
//   stroke carries the high loads.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "downhole/card_reading.h"
#include "downhole/production.h"
#include "downhole/pump_diagnosis.h"
#include "well/well_record.h"

namespace tavo::downhole {

// Harmonics of the surface card kept: the higher ones carry mostly noise
// that the load's derivative would amplify.
inline constexpr int kDefaultHarmonics = 20;

struct Settings {
    std::optional<double> damping_nu;  // overrides the record's
    double runtime_h_per_day = 24.0;
    double service_factor = 1.0;  // Goodman
    int harmonics = kDefaultHarmonics;
};

// One whole stroke in time order (either direction), equal time steps.
// A closed loop (the last sample repeating the first) is taken as open.
struct SurfaceStroke {
    std::vector<double> position_m;
    std::vector<double> load_kN;
    double period_s = 0.0;
};

enum class Problem {
    none,
    empty_card,      // fewer samples than a stroke needs
    unequal_arrays,  // position and load of different lengths
    not_finite,      // a NaN or infinity among the inputs
    bad_period,      // period zero, negative or implausible
    no_motion,       // the polished rod does not move
    no_rods,         // the record has no taper
    bad_taper,       // a taper's length, diameter or modulus out of range
    unknown_weight,  // a taper's weight per metre is not given nor known
    bad_pump,        // pump depth or plunger diameter out of range
    bad_fluid,       // densities, water cut or pressures out of range
    bad_damping,     // damping outside 0..5
    bad_settings,    // runtime or service factor out of range
    diverged,        // the result is not finite
};

struct TaperLoad {
    double top_depth_m = 0.0;
    double area_mm2 = 0.0;
    std::vector<double> load_kN;  // at the taper's top over the stroke
    double max_stress_MPa = 0.0;
    double min_stress_MPa = 0.0;
    // Modified Goodman (service factor applied); nullopt when the minimum
    // tensile strength is not known or the allowable range is nil.
    std::optional<double> allowable_MPa;
    std::optional<double> goodman_pct;
};

struct PumpCardResult {
    Problem problem = Problem::none;
    std::size_t problem_taper = 0;  // which taper, for the taper problems
    bool ok() const { return problem == Problem::none; }

    // The stroke as used: time order, from the surface's lowest position.
    bool reversed = false;               // the input was traced backwards
    std::size_t first_input_sample = 0;  // input index of sample 0 here
    std::vector<double> surface_position_m, surface_load_kN;
    std::vector<double> pump_position_m, pump_load_kN;
    double period_s = 0.0;
    double strokes_per_min = 0.0;
    double damping_nu = 0.0;  // the damping used
    int harmonics = 0;        // the pump load's (position and rod loads: twice)

    // What the pump card reads: strokes, fillage, the plateaus and the
    // fluid load (card_reading.h).
    CardReading reading;
    // What follows from it: displacement, liquid rate and the pressure and
    // fluid level estimates (production.h; the fluid column is taken as
    // liquid of the mixture's density, gas in the annulus not counted).
    Production production;
    double fluid_density_kg_m3 = 0.0;

    std::vector<TaperLoad> tapers;  // from the top
    std::size_t worst_taper = 0;    // highest Goodman loading (or stress)
    PumpDiagnosis diagnosis;
};

// The pump card of one surface stroke of a well. Never throws for bad
// input: the result then names the problem and holds no figures.
PumpCardResult pump_card(const SurfaceStroke& surface, const well::WellRecord& well,
                         const Settings& settings = {});

}  // namespace tavo::downhole
