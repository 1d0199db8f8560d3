// The analysis pipeline: load a tester file, find the stroke, calculate the
// electrical and card results. It draws nothing: the caller shows the
// results (the session's show_chart_first).
#pragma once

#include <cstdint>
#include <string>

#include "analysis/workspace.h"
#include "record/state.h"

namespace tavo {

// flag = 1 loads PathName first and returns what the reading met (also kept
// in st.last_load); a file that cannot be read (not_analysed) is not
// analysed and leaves the state as it was. Any other flag analyses the data
// held and returns no problem.
Problem tx_org(State& st, Workspace& work, const std::string& PathName, int16_t flag);
// The same in a workspace of its own for this one call.
Problem tx_org(State& st, const std::string& PathName, int16_t flag);

}  // namespace tavo
