// Several tests of a well side by side: the cards overlaid on common
// scales, the motor's active power over one stroke against the crank angle,
// and a table of the key figures. Drawn on any surface, in millimetres.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "record/state.h"
#include "views/surface.h"

namespace tavo {

// One test as the comparison shows it. A figure that cannot be computed
// stays empty and is shown as a dash.
struct CompareTest {
    std::string well, date, time;                  // the legend
    std::vector<std::pair<double, double>> card;   // (displacement m, load kN) over one stroke
    std::vector<std::pair<double, double>> power;  // (crank angle deg, active power kW), by angle
    bool angle_from_rod = false;  // the angle's zero is the rod at the bottom (else the cycle's start)
    std::optional<double> spm, stroke_m, max_load_kN, min_load_kN, work_kJ, rod_power_kW;
    std::optional<double> current_ratio, power_ratio, counterbalance_kN;
    std::string condition;  // in Chinese; empty when not diagnosed
    // A file whose samples end early: the records it holds and its header
    // announces (0 and 0 for a whole test); the legend says so.
    int records_read = 0, records_expected = 0;
    bool incomplete() const { return records_read < records_expected; }
    // From the pump card, when the well has a record.
    std::optional<double> fillage_pct, liquid_m3_d;
};

// The test the state holds after the pipeline: the card of one stroke when
// there is one (stroke above 0.3 m, largest load above 3 kN), the power of
// one stroke and the card results. The balance and the condition are left
// to the caller.
CompareTest compare_test(const State& st);

// Crank angle of sample i of a cycle of n samples whose bottom (smallest
// displacement) is sample `bottom`; the crank turns evenly.
double crank_angle(int i, int bottom, int n);

// At most this many tests fit the legend and the table.
constexpr int kCompareMaxTests = 8;

// Size of the drawing for `n` tests, millimetres.
struct CompareSize {
    double width_mm = 0.0, height_mm = 0.0;
};
CompareSize compare_size(int n);

// Palette index of test k.
int compare_color(int k);

// Draws the comparison; tests past kCompareMaxTests are left out.
void draw_compare(Surface& pic, const std::vector<CompareTest>& tests);

}  // namespace tavo
