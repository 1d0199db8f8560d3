// The well database where there is no SQLite (the browser edition, which
// keeps its records in the browser's own storage): read, it is a database
// without records, as a missing file is; it cannot be written.
#include "welldb/well_store.h"

namespace tavo::welldb {

namespace {

StoreProblem no_database(const std::string& path) {
    StoreProblem p;
    p.kind = StoreProblem::Kind::NoLocation;
    p.path = path;
    return p;
}

}  // namespace

std::unique_ptr<WellStore> WellStore::open(const std::string& path, Mode mode, StoreProblem& problem, int) {
    problem = {};
    if (mode == Mode::Write) {
        problem = no_database(path);
        return nullptr;
    }
    return std::unique_ptr<WellStore>(new WellStore(nullptr, path));
}

WellStore::~WellStore() {
    (void)db_;  // always null here: there is no connection to close
}

StoreProblem WellStore::names(std::vector<std::string>& out) const {
    out.clear();
    return {};
}

StoreProblem WellStore::get(const std::string& well, well::WellRecord&) const {
    StoreProblem p;
    p.kind = StoreProblem::Kind::NotFound;
    p.path = path_;
    p.well = well;
    return p;
}

StoreProblem WellStore::get_all(std::vector<well::WellRecord>& out) const {
    out.clear();
    return {};
}

StoreProblem WellStore::put(const std::vector<well::WellRecord>&) {
    return no_database(path_);
}

StoreProblem WellStore::remove(const std::string&) {
    return no_database(path_);
}

}  // namespace tavo::welldb
