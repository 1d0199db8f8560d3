// The plain layout figures of the views, computed apart from the drawing so
// they can be checked on their own.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "record/state.h"

namespace tavo {

// ---- curve chart ----------------------------------------------------------

struct ChartScales {
    float maxU = 0.0f, maxI = 0.0f, maxP = 0.0f, maxQ = 0.0f;  // largest samples, at least 0
    double topL = 25.0, stepL = 5.0;                           // current and powers
    double topR = 0.0, stepR = 0.0;                            // voltage; 0 when no voltage was recorded
    bool crank = true;                                         // crank-angle axis (one stroke) or time axis
    int p = 0;                                                 // time axis: divisions of 250 samples
    double spm = 0.0;                                          // samples per millimetre
};

// Scales of the first `n` samples of the electrical curves. Samples outside
// the arrays are passed over.
ChartScales chart_scales(const State& st, int n);

// ---- dynamometer card -----------------------------------------------------

struct CardScales {
    int D = 3;                   // displacement divisions of 1 m
    double units_per_m = 200.0;  // layout units per metre
    int N = 10;                  // load divisions
    double kn_per_div = 3.0;
    double full_scale = 30.0;       // kN
    double units_per_div = 36.0;    // layout units per load division
    double units_per_10kn = 120.0;  // layout units per 10 kN
};

// Scales chosen from the stroke (mm) and the largest load (0.01 kN).
CardScales card_scales(int16_t sgt_stroke, int16_t sgt_max_load);

// Layout units to points.
inline double card_x(double bx) {
    return (bx + 60.0) / 3.0;
}
inline double card_y(double by) {
    return (by - 60.0) / 2.6;
}

// The 17 lines of the card's parameter panel, built from the card results
// and the header boxes. A line whose figure cannot be computed stays empty.
std::array<std::string, 17> card_panel(const State& st);

// ---- parameter table ------------------------------------------------------

// Name of the electrical test mode (low three bits), empty when none.
std::string mode_name(int16_t pow_mode);

// Text row r (1..12) and horizontal rule r (0..12), in millimetres.
inline double table_row_y(int r) {
    return 7.0 + 4.5 * r - 3.3;
}
inline double table_rule_y(int r) {
    return 7.0 + 4.5 * r;
}

}  // namespace tavo
