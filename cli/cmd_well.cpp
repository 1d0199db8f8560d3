// tavo-cli well: the well records' database from the command line.
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/well_english.h"
#include "well/well_check.h"
#include "well/well_files.h"
#include "well/well_json.h"
#include "welldb/well_store.h"

namespace tavo::cli {

namespace {

using welldb::StoreProblem;
using welldb::WellStore;

struct WellOptions {
    std::string wells;  // --wells PATH
    std::string name;
    std::string file;
    std::vector<std::string> names;
    std::string output;
};

int fail(const std::string& what, const std::string& words) {
    std::cerr << "tavo-cli well " << what << ": " << words << "\n";
    return 1;
}

std::unique_ptr<WellStore> open_store(const WellOptions& opt, WellStore::Mode mode, const char* what) {
    StoreProblem p;
    auto store = WellStore::open(wells_db_path(opt.wells), mode, p);
    if (!store) fail(what, english(p));
    return store;
}

int run_list(const WellOptions& opt) {
    const auto store = open_store(opt, WellStore::Mode::Read, "list");
    if (!store) return 1;
    std::vector<std::string> names;
    if (const StoreProblem p = store->names(names)) return fail("list", english(p));
    for (const std::string& n : names) std::cout << n << "\n";
    return 0;
}

int run_show(const WellOptions& opt) {
    const auto store = open_store(opt, WellStore::Mode::Read, "show");
    if (!store) return 1;
    well::WellRecord r;
    if (const StoreProblem p = store->get(opt.name, r)) return fail("show", english(p));
    std::cout << well::write_json({r}, true);
    return 0;
}

int run_import(const WellOptions& opt) {
    const well::ImportResult in = well::read_well_file(opt.file);
    for (const well::WellProblem& p : in.problems)
        std::cerr << "tavo-cli well import: " << english(p) << "\n";
    if (well::has_error(in.problems) || in.records.empty()) {
        if (in.problems.empty()) return fail("import", opt.file + ": the file holds no well record");
        std::cerr << "tavo-cli well import: nothing was imported\n";
        return 1;
    }
    const auto store = open_store(opt, WellStore::Mode::Write, "import");
    if (!store) return 1;
    if (const StoreProblem p = store->put(in.records))
        return fail("import", english(p) + "; nothing was imported");
    for (const well::WellRecord& r : in.records) std::cout << r.well << "\n";
    return 0;
}

int run_export(const WellOptions& opt) {
    if (well::format_of(opt.output) == well::WellFormat::Unknown) {
        well::WellProblem p;
        p.kind = well::WellProblem::Kind::UnknownFormat;
        p.file = opt.output;
        p.detail = opt.output.substr(opt.output.find_last_of('.') == std::string::npos
                                         ? opt.output.size()
                                         : opt.output.find_last_of('.') + 1);
        return fail("export", english(p));
    }
    const auto store = open_store(opt, WellStore::Mode::Read, "export");
    if (!store) return 1;
    std::vector<well::WellRecord> records;
    if (opt.names.empty()) {
        if (const StoreProblem p = store->get_all(records)) return fail("export", english(p));
    } else {
        std::set<std::string> seen;
        for (const std::string& n : opt.names) {
            well::WellRecord r;
            if (const StoreProblem p = store->get(n, r))
                return fail("export", english(p) + "; nothing was written");
            if (seen.insert(r.well).second) records.push_back(std::move(r));
        }
    }
    if (const well::WellProblem p = well::write_well_file(opt.output, records))
        return fail("export", english(p));
    return 0;
}

int run_remove(const WellOptions& opt) {
    const auto store = open_store(opt, WellStore::Mode::Write, "remove");
    if (!store) return 1;
    if (const StoreProblem p = store->remove(opt.name)) return fail("remove", english(p));
    return 0;
}

}  // namespace

void add_well(CLI::App& app, int& exit_code) {
    auto opt = std::make_shared<WellOptions>();
    const char* wells_help =
        "The well database file (default: $TAVO_WELLS_DB, else TAVO/wells.sqlite in $XDG_DATA_HOME or "
        "~/.local/share)";
    app.add_option("--wells", opt->wells, wells_help);
    auto* well = app.add_subcommand("well", "List, show, import, export and remove well records");
    well->add_option("--wells", opt->wells, wells_help);
    well->require_subcommand(1);
    well->footer(
        "Files of well records are JSON or CSV, as their extension says (see the README, \"Well records\").\n"
        "An import is all or nothing: any bad value names the file, the line or JSON path, the field and\n"
        "the reason, and nothing is imported.\n"
        "Exit status: 0 success, 1 failure (the reason on stderr), 2 usage error.");

    auto* list = well->add_subcommand("list", "Print the names of the wells on record, one a line");
    list->add_option("--wells", opt->wells, wells_help);
    list->callback([opt, &exit_code] { exit_code = run_list(*opt); });

    auto* show = well->add_subcommand("show", "Print the record of a well as JSON");
    show->add_option("--wells", opt->wells, wells_help);
    show->add_option("NAME", opt->name, "The well's name")->required();
    show->callback([opt, &exit_code] { exit_code = run_show(*opt); });

    auto* import = well->add_subcommand(
        "import", "Store the records of a JSON or CSV file, each replacing the record of its well");
    import->add_option("--wells", opt->wells, wells_help);
    import->add_option("FILE", opt->file, "A .json or .csv file of well records")->required();
    import->callback([opt, &exit_code] { exit_code = run_import(*opt);
});

auto* exp = well->add_subcommand("export", "Write the records of the named wells (all without names)");
exp->add_option("--wells", opt->wells, wells_help);
exp->add_option("-o,--output", opt->output, "The .json or .csv file to write")->required();
exp->add_option("NAME", opt->names, "The wells' names");
exp->callback([opt, &exit_code] { exit_code = run_export(*opt); });

auto* remove = well->add_subcommand("remove", "Remove the record of a well");
remove->add_option("--wells", opt->wells, wells_help);
remove->add_option("NAME", opt->name, "The well's name")->required();
remove->callback([opt, &exit_code] { exit_code = run_remove(*opt); });
}  // namespace tavo::cli

}  // namespace tavo::cli
