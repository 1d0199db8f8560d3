// The pump card read by rules, each with the figure that decided it. The
// codes are plain data; downhole_words.h gives them words.
#pragma once

#include <vector>

namespace tavo::downhole {

struct CardReading;

enum class PumpCondition {
    unknown,  // no card to read
    full_pump,
    fluid_pound,
    gas_interference,
    travelling_valve_leak,
    standing_valve_leak,
    pump_hitting_up,
    pump_hitting_down,
    parted_rods,
    unanchored_tubing,
};

// Why a condition was found: the figure measured and the limit it passed,
// both in the unit the code names.
enum class ReasonCode {
    fillage_pct,           // fillage at or above / below the limit
    fluid_load_share_pct,  // fluid load as % of a full column's
    drop_span_pct,         // travel of the down-stroke load drop, % of the stroke
    upstroke_sag_pct,      // up-stroke load lost before the top, % of the fluid load
    downstroke_rise_pct,   // down-stroke load risen before the bottom, % of the fluid load
    top_spike_pct,         // load past the up-stroke plateau at the top, % of the fluid load
    bottom_dip_pct,        // dip below the down-stroke plateau at the bottom, % of the fluid load
    rise_span_pct,         // travel of the up-stroke load rise, % of the stroke
    drop_trail_pct,        // lower half of the down-stroke load drop, % of its travel
};

struct Reason {
    PumpCondition condition = PumpCondition::unknown;
    ReasonCode code = ReasonCode::fillage_pct;
    double value = 0.0;
    double limit = 0.0;
};

struct PumpDiagnosis {
    PumpCondition condition = PumpCondition::unknown;  // the most serious found
    std::vector<Reason> reasons;                       // every rule that fired
};

struct DiagnosisInputs {
    double full_column_load_kN = 0.0;  // fluid load were the fluid level at the pump
    bool tubing_anchored = true;
};

PumpDiagnosis diagnose_pump_card(const std::vector<double>& pos, const std::vector<double>& load,
                                 const CardReading& card, const DiagnosisInputs& in);

}  // namespace tavo::downhole
