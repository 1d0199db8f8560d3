// The dynamometer card parameters of one stroke cycle.
#pragma once

#include "record/state.h"

namespace tavo {

// Normalises the card curves in place, computes the Sgt_ results over
// samples 0 .. Circle_Num-1 and writes Text3 2, 12 and 13. Reads the
// recording-speed factor from the text of Rec_Spd. Runs under the failure
// rule.
void Calc_Sgt_Data(State& st);

}  // namespace tavo
