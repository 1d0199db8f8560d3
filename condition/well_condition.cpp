#include "condition/well_condition.h"

namespace tavo::condition {

WellCondition assess_condition(const State& st, const BalanceSettings& settings) {
    WellCondition c;
    c.period = check_period(st);
    c.balance = assess_balance(st, c.period, settings);
    return c;
}

}  // namespace tavo::condition
