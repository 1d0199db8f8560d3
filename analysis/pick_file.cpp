#include "analysis/pick_file.h"

#include "analysis/pipeline.h"

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
    Workspace work;
    return pick_file(st, work, path);
}

Problem pick_file(State& st, Workspace& work, const std::string& path) {
    // A file that cannot be read leaves the state as it was, the tolerance too.
    const float tol = st.Circle_Tol;
    st.Circle_Tol = 0.02f;
    const LoadReport load = tx_org(st, work, path, 1);
    if (load.unreadable()) st.Circle_Tol = tol;
    return load_problem(load, path);
}

}  // namespace tavo
