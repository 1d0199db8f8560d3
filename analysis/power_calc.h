// The electrical parameters of one stroke cycle.
#pragma once

#include "record/state.h"

namespace tavo {

// Quadrant tables, stroke-half values, Pow_Mode and the result boxes
// Text3 1 and 3..11, over samples 0 .. Pow_Circle_Num-1. Runs under the
// failure rule.
void Calc_Power_Data(State& st);

}  // namespace tavo
