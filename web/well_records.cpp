#include "web/well_records.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

#include "summary/well_words.h"
#include "well/well_files.h"
#include "well/well_json.h"

namespace tavo::web {

namespace {

using nlohmann::json;

struct WellsOptions {
    std::string store;  // the stored text's file; none: no records yet
    std::string file;   // import: the picked file
    std::string shown;  // import: its name as the user knows it
    std::string name;   // remove: the well
};

std::vector<well::WellRecord> records_of(const summary::WellBook& book) {
    std::vector<well::WellRecord> v;
    for (const auto& [name, r] : book) v.push_back(r);
    return v;
}

// The answer: whether it worked, the problems in Chinese, the wells on
// record and the store's new text (a well file, as `tavo-cli well export`
// writes one of all the records).
int answer(bool ok, const std::vector<std::string>& problems, const summary::WellBook& book) {
    json names = json::array();
    for (const auto& [name, r] : book) names.push_back(name);
    const std::vector<well::WellRecord> records = records_of(book);
    const json o = {
        {"ok", ok},
        {"problems", problems},
        {"names", names},
        {"store", records.empty() ? std::string() : well::write_json(records, records.size() == 1)}};
    std::cout << o.dump(-1, ' ', false, json::error_handler_t::replace) << '\n' << std::flush;
    return ok ? 0 : 1;
}

int run_wells(const std::string& action, const WellsOptions& opt) {
    summary::WellBook book;
    std::string why;
    if (!load_well_store(opt.store, book, why))
        return answer(false, {"浏览器中保存的井数据无法读取：" + why}, {});
    if (action == "import") {
        well::ImportResult in = well::read_well_file(opt.file);
        std::vector<std::string> words;
        for (well::WellProblem& p : in.problems) {
            if (p.file == opt.file) p.file = opt.shown;
            words.push_back(summary::well_problem_text(p));
        }
        if (well::has_error(in.problems) || in.records.empty()) {
            if (in.problems.empty()) words.push_back(opt.shown + "：文件中没有井数据");
            words.push_back("没有导入任何井数据");
            return answer(false, words, book);
        }
        // Each record replaces the one of its well, as the database's import.
        for (well::WellRecord& r : in.records) book[r.well] = std::move(r);
        return answer(true, words, book);
    }
    if (action == "remove") {
        if (book.erase(opt.name) == 0) return answer(false, {"没有井“" + opt.name + "”的数据"}, book);
        return answer(true, {}, book);
    }
    return answer(true, {}, book);
}

}  // namespace

bool load_well_store(const std::string& store, summary::WellBook& book, std::string& why) {
    book.clear();
    if (store.empty()) return true;
    std::ifstream in(store, std::ios::binary);
    if (!in) return true;
    std::ostringstream text;
    text << in.rdbuf();
    if (text.str().empty()) return true;
    well::ImportResult r = well::read_json(text.str());
    if (well::has_error(r.problems)) {
        for (const well::WellProblem& p : r.problems)
            if (!p.warning()) why += (why.empty() ? "" : "；") + summary::well_problem_text(p);
        return false;
    }
    for (well::WellRecord& rec : r.records) book[rec.well] = std::move(rec);
    return true;
}

void add_wells(CLI::App& app, int& exit_code) {
    auto opt = std::make_shared<WellsOptions>();
    auto* wells = app.add_subcommand("wells", "The page's well records: import, remove or list");
    wells->require_subcommand(1);
    auto* import = wells->add_subcommand("import", "Add the records of a .json or .csv file");
    import->add_option("--store", opt->store, "The stored records' file");
    import->add_option("--shown", opt->shown, "The file's name in messages");
    import->add_option("FILE", opt->file, "A file of well records")->required();
    import->callback([opt, &exit_code] {
        if (opt->shown.empty()) opt->shown = opt->file;
    exit_code = run_wells("import", *opt);
});
auto* remove = wells->add_subcommand("remove", "Remove the record of a well");
remove->add_option("--store", opt->store, "The stored records' file");
remove->add_option("NAME", opt->name, "The well's name")->required();
remove->callback([opt, &exit_code] { exit_code = run_wells("remove", *opt); });
auto* list = wells->add_subcommand("list", "The wells on record");
list->add_option("--store", opt->store, "The stored records' file");
list->callback([opt, &exit_code] { exit_code = run_wells("list", *opt); });
}  // namespace tavo::web

}  // namespace tavo::web
