#include "analysis/pick_file.h"

#include "analysis/pipeline.h"
#include "common/numbers.h"

namespace tavo {

Problem pick_file(State& st, const std::string& path) {
    Workspace work;
    return pick_file(st, work, path);
}

Problem pick_file(State& st, Workspace& work, const std::string& path) {
    // A file that cannot be read leaves the state as it was, the tolerance too.
    const float tol = st.Circle_Tol;
    st.Circle_Tol = 0.02f;
    Problem load = tx_org(st, work, path, 1);
    if (not_analysed(load)) st.Circle_Tol = tol;
    return load;
}

void type_cycle(State& st, float samples) {
    st.Circle_Num = to_i16(samples);
    st.Pow_Circle_Num = st.Circle_Num;
    st.cycle_origin = State::CycleOrigin::Manual;
}

}  // namespace tavo
