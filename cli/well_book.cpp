#include "cli/well_book.h"

#include <vector>

#include "cli/well_english.h"
#include "well/well_files.h"
#include "welldb/well_store.h"

namespace tavo::cli {

bool load_well_book(const std::string& well_file, const std::string& db_option, report::WellBook& book,
                    bool& one_for_all, std::ostream& err) {
    book.clear();
    one_for_all = false;
    std::vector<well::WellRecord> records;
    if (!well_file.empty()) {
        well::ImportResult r = well::read_well_file(well_file);
        for (const well::WellProblem& p : r.problems)
            err << (p.warning() ? "warning: " : "") << english(p) << "\n";
        if (well::has_error(r.problems)) return false;
        records = std::move(r.records);
        one_for_all = records.size() == 1;
    } else {
        welldb::StoreProblem p;
        const auto store =
            welldb::WellStore::open(wells_db_path(db_option), welldb::WellStore::Mode::Read, p);
        if (!p && store) p = store->get_all(records);
        if (p) {
            err << "warning: " << english(p) << "; the tests are analysed without pump cards\n";
            return true;
        }
    }
    for (well::WellRecord& r : records) book[r.well] = std::move(r);
    return true;
}

}  // namespace tavo::cli
