#include "analysis/pick_file.h"

#include "analysis/pipeline.h"
#include "common/numbers.h"

namespace tavo {
namespace {

// What the reader met, as a problem of the picked file.
Problem load_problem(const LoadReport& r, const std::string& path) {
    Problem p;
    p.path = path;
    switch (r.kind) {
        case LoadReport::Kind::CannotOpen:
            p.kind = Problem::Kind::CannotOpen;
            p.io = r.io;
            break;
        case LoadReport::Kind::ShortHeader:
            p.kind = Problem::Kind::ShortHeader;
            break;
        case LoadReport::Kind::NoSamples:
            p.kind = Problem::Kind::NoSamples;
            p.numbers = {r.records_expected};
            break;
        case LoadReport::Kind::ShortSamples:
            p.kind = Problem::Kind::ShortSamples;
            p.numbers = {r.records_read, r.records_expected};
            break;
        default:
            break;
    }
    return p;
}

}  // namespace

bool not_analysed(const Problem& p) {
    return p.kind == Problem::Kind::CannotOpen || p.kind == Problem::Kind::ShortHeader ||
           p.kind == Problem::Kind::NoSamples;
}

Problem pick_file(State& st, const std::string& path) {
    // A file that cannot be read leaves the state as it was, the tolerance too.
    const float tol = st.Circle_Tol;
    st.Circle_Tol = 0.02f;
    const LoadReport load = tx_org(st, path, 1);
    if (load.unreadable()) st.Circle_Tol = tol;
    return load_problem(load, path);
}

void type_cycle(State& st, float samples) {
    st.Circle_Num = to_i16(samples);
    st.Pow_Circle_Num = st.Circle_Num;
    st.cycle_origin = State::CycleOrigin::Manual;
}

}  // namespace tavo
