// The judgement beside the legacy results: the verified stroke period and
// the unit's balance. Plain data for the window, the command line and
// reports.
#pragma once

#include "condition/balance.h"
#include "condition/period_check.h"
#include "record/state.h"

namespace tavo::condition {

struct WellCondition {
    PeriodCheck period;
    Balance balance;
};

// Reads the state as the pipeline left it; changes nothing.
WellCondition assess_condition(const State& st, const BalanceSettings& settings = {});

}  // namespace tavo::condition
