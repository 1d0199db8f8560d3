// An independent check of the stroke period the legacy detectors found.
#pragma once

#include <optional>
#include <string>

#include "record/state.h"

namespace tavo::condition {

enum class PeriodSource { None, Displacement, Power };

struct PeriodCheck {
    int detected = 0;  // Circle_Num as the pipeline left it (or as typed or recomputed: see origin)
    State::CycleOrigin origin = State::CycleOrigin::Detected;
    int first_detected = 0;  // what the detection gave, before a typed or recomputed cycle
    double period = 0.0;     // verified period in samples, unrounded; 0 when none
    PeriodSource source = PeriodSource::None;
    double clarity = 0.0;  // correlation of the record with itself at the period
    int samples = 0;       // the file's own samples that were used
    double seconds_per_sample = 0.02;
    std::string note;  // for the user, in Chinese

    bool verified() const { return period > 0.0; }
    // The period with one decimal, as reported.
    std::optional<double> verified_rounded() const;
    // Whether Circle_Num is what a clean record of the verified period
    // gives (period + 1), within max(3, 0.5 % of the period) samples; none
    // when no period was verified.
    std::optional<bool> agrees() const;
    // The cycle length the legacy detector would give on a clean record of
    // the verified period: round(period) + 1.
    int cycle_length() const;
    // The detection found no stroke: Circle_Num is its mark of failure
    // (3000), or outside the record.
    bool detection_failed() const;
};

// A stroke rate as every new place prints it: two decimals and its unit,
// "3.99 次/min". The legacy table and card keep their own forms.
std::string stroke_rate_text(double spm);

// Source names for machine-readable output: "displacement", "power", "".
const char* source_name(PeriodSource s);

// Verifies the period on the file's own samples of the state as the
// pipeline left it: the displacement when the rod moves, else the active
// power. Reads the state only.
PeriodCheck check_period(const State& st);

}  // namespace tavo::condition
