// The analysis pipeline: load a tester file, find the stroke, calculate the
// electrical and card results and draw the curve chart.
#pragma once

#include <cstdint>
#include <string>

#include "record/state.h"

namespace tavo {

// flag = 1 loads PathName first; any other value analyses the data held.
void tx_org(State& st, const std::string& PathName, int16_t flag);

}  // namespace tavo
