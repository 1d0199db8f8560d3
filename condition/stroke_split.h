// Whole strokes of a record, each split into its up- and down-stroke by the
// rod's travel.
#pragma once

#include <vector>

namespace tavo::condition {

struct StrokeSpan {
    int bottom = 0;       // first sample of the up-stroke (lowest rod position)
    int top = 0;          // first sample of the down-stroke (highest position)
    int next_bottom = 0;  // first sample after the down-stroke
    double travel = 0.0;  // rod travel top minus bottom, in the curve's unit
};

// The strokes lying wholly within the displacement curve `pos` of a given
// period (samples): bottoms are found where the fitted fundamental is
// lowest and then moved to the lowest point of the smoothed curve nearby.
std::vector<StrokeSpan> split_strokes(const std::vector<double>& pos, double period);

}  // namespace tavo::condition
