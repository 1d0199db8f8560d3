#include "cli/well_book.h"

#include <vector>

#include "cli/well_english.h"
#include "well/well_files.h"
#include "welldb/well_store.h"

namespace tavo::cli {

bool load_well_book(const std::string& well_file, const std::string& db_option, summary::WellBook& book,
                    std::ostream& err) {
    book.clear();
    std::vector<well::WellRecord> records;
    if (!well_file.empty()) {
        well::ImportResult r = well::read_well_file(well_file);
        for (const well::WellProblem& p : r.problems)
            err << (p.warning() ? "warning: " : "") << english(p) << "\n";
        if (well::has_error(r.problems)) return false;
        records = std::move(r.records);
        if (records.size() == 1) book[""] = records.front();
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

void add_well_options(CLI::App* sub, std::string& well_file, std::string& wells) {
    sub->add_option("--well", well_file,
                    "Well records from this .json or .csv file instead of the database; a file of one record "
                    "stands for the well of every test");
    sub->add_option("--wells", wells,
                    "The well database file (default: $TAVO_WELLS_DB, else TAVO/wells.sqlite in the user's "
                    "data folder)");
}

}  // namespace tavo::cli
