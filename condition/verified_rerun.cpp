#include "condition/verified_rerun.h"

#include "analysis/card_calc.h"
#include "analysis/detect_cycle.h"
#include "analysis/power_calc.h"
#include "analysis/workspace.h"
#include "common/fault.h"
#include "common/number_text.h"
#include "record/tester_file.h"

namespace tavo::condition {

bool rerun_with_cycle(State& st, int cycle) {
    if (cycle < 1 || cycle > kMaxSamples) return false;
    State fresh = st;  // the state is only replaced when the file reads
    Workspace work;
    if (!analysed(Load_Data(fresh, work.read, fresh.Cur_File))) return false;

    // The displacement stage lowers the displacement curve in place; the
    // card results are taken on the lowered curve.
    const float corr = st.Circle_Corr;
    get_circle_sss(fresh, work.cycle, fresh.Pos_Dat, 3000);
    fresh.Circle_Corr = corr;

    fresh.Circle_Num = static_cast<int16_t>(cycle);
    fresh.cycle_origin = State::CycleOrigin::Verified;
    fresh.CircleDot = int_text(fresh.Circle_Num);
    fresh.Rec_Spd = int_text(fresh.head.Rec_Speed);
    fresh.Pow_Circle_Num = fresh.Circle_Num;
    Calc_Power_Data(fresh);
    Calc_Sgt_Data(fresh);
    st = std::move(fresh);
    return true;
}

PeriodCheck rerun_with_verified_period(State& st) {
    PeriodCheck check = check_period(st);
    const auto agrees = check.agrees();
    if (agrees && !*agrees) rerun_with_cycle(st, check.cycle_length());
    return check;
}

}  // namespace tavo::condition
