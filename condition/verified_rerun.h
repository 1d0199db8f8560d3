// The analysis again with the verified stroke period, on request.
#pragma once

#include "condition/period_check.h"
#include "record/state.h"

namespace tavo::condition {

// Re-reads the file held (st.Cur_File) and runs the rest of the pipeline
// with the cycle length `cycle` instead of a detected one: Pow_Circle_Num
// follows, the electrical and card results and the result boxes are made
// anew (the caller shows them). Circle_Corr keeps what the detection left. The file is
// read again because the card calculation normalised the card curves over
// the old cycle in place. Returns false, with the state unchanged, when the
// file can no longer be read or `cycle` does not fit the arrays.
bool rerun_with_cycle(State& st, int cycle);

// Checks the period of the state as the pipeline left it and, where the
// check disagrees with Circle_Num, reruns with round(verified) + 1 (what
// the detector gives on a clean record of that period). Returns the check,
// which describes the detection before the rerun.
PeriodCheck rerun_with_verified_period(State& st);

}  // namespace tavo::condition
