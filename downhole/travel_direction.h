// The direction of travel of a stroke given in either time order: on the
// rising half the rods lift the fluid, so the work Σ load·Δposition round
// the loop is positive forward in time.
#pragma once

#include <cstddef>
#include <vector>

namespace tavo::downhole {

// Work round the closed loop, kN·m (positive: forward in time).
double loop_work(const std::vector<double>& position, const std::vector<double>& load);

struct TimeOrder {
    bool reversed = false;  // the samples run backwards in time
    std::size_t first = 0;  // input index of the lowest position
};

// Reverses when the loop runs backwards; starts at the lowest position
// (its first sample forward in time when several share it).
TimeOrder time_order(const std::vector<double>& position, const std::vector<double>& load);

// The input rearranged: out[k] = in[first ± k] (minus when reversed).
std::vector<double> in_time_order(const std::vector<double>& in, const TimeOrder& order);

}  // namespace tavo::downhole
