// The last refinement of a stroke period: the record matched against itself
// one, two, ... periods on, window by window, to a fraction of a sample.
#pragma once

#include <vector>

namespace tavo::condition {

// The period of x refined from a close estimate (within about 1 % of the
// stroke). The record is matched against itself shifted by each whole lag
// near every multiple of the estimate that still overlaps it by 0.4 of a
// stroke, always over the same samples. Each window of an eighth of a
// stroke is matched with a gain of its own, so that a stroke drawing more
// power than the last, or a drift that scales the curve, moves no lag, and
// with an offset common to the repeat, so that a drift that adds to it
// does not either; the lag between whole samples is the vertex of a
// parabola through the mismatch. The estimate comes back unchanged when
// nothing matches.
double fine_period(const std::vector<double>& x, double period);

}  // namespace tavo::condition
