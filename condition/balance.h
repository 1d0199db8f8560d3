// The pumping unit's balance from the motor's power over the real up- and
// down-strokes, with the change of counterbalance that would balance it.
#pragma once

#include <optional>
#include <string>

#include "condition/period_check.h"
#include "record/state.h"

namespace tavo::condition {

struct BalanceSettings {
    // Accepted power balance degree (down-stroke mean power / up-stroke).
    double band_low = 0.80, band_high = 1.20;
    // Drive efficiency from the mains to the polished rod (motor, belts,
    // gearbox, linkage): the rod receives this share of what the motor draws
    // while motoring, and the motor returns this share of the rod's work
    // while generating.
    double efficiency = 0.85;
};

struct StrokeFigures {
    double max_current_A = 0.0;
    double mean_power_kW = 0.0;
    double energy_kJ = 0.0;  // per stroke; negative where the motor generates
};

enum class Verdict { Unknown, Balanced, AddCounterbalance, ReduceCounterbalance };

// "balanced", "add_counterbalance", "reduce_counterbalance", "unknown".
const char* verdict_name(Verdict v);

struct Balance {
    std::optional<StrokeFigures> up, down;
    std::optional<double> current_ratio, power_ratio;
    // Why there is no power ratio though both strokes were measured (a
    // stroke's mean power near zero or negative), in Chinese; else empty.
    std::string power_ratio_why;
    // Balanced when the power ratio lies in the band; otherwise the sign of
    // change_kN says which way, and Unknown where the ratio points the
    // other way or neither figure exists.
    Verdict verdict = Verdict::Unknown;
    // Equivalent force at the polished rod, kN: positive adds counterbalance.
    std::optional<double> change_kN;
    int strokes = 0;        // whole strokes averaged
    double stroke_m = 0.0;  // mean rod travel of those strokes
    double idle_kW = 0.0;   // idle losses estimated from the record
    std::string note;       // for the user, in Chinese
};

// Reads the state only; the strokes follow the verified period.
Balance assess_balance(const State& st, const PeriodCheck& period, const BalanceSettings& settings = {});

}  // namespace tavo::condition
