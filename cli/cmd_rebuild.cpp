#include <iostream>
#include <memory>
#include <string>

#include "cli/analysis_json.h"
#include "cli/commands.h"
#include "exchange/exchange.h"
#include "record/state.h"

namespace tavo::cli {

namespace {

struct RebuildOptions {
    bool json = false;
    std::string file;
};

int run_rebuild(const RebuildOptions& opt) {
    auto st = std::make_unique<tavo::State>();
    // Each file is reported as soon as it is written and analysed, so that
    // an error in a later block leaves the earlier ones listed.
    const tavo::RebuiltFileHook report = [&](const std::string& path) {
        if (opt.json)
            std::cout << json_line(analysis_object(*st, path, false)) << "\n" << std::flush;
        else
            std::cout << path << "\n" << std::flush;
    };
    const tavo::Problem p = tavo::InvOutFile(*st, opt.file, report).problem;
    if (!p) return 0;
    // A last block that gave no file is a warning, but one that fails the
    // run: unnoticed, it would be lost.
    std::cerr << "tavo-cli rebuild: " << (p.warning() ? "warning: " : "") << tavo::english(p) << "\n";
    return 1;
}

}  // namespace

void add_rebuild(CLI::App& app, int& exit_code) {
    auto opt = std::make_shared<RebuildOptions>();
    auto* sub = app.add_subcommand(
        "rebuild",
        "Rebuild one tester file per well block of an exchange text file, into the folder named after "
        "the file without its extension (OutDataFile.Txt gives OutDataFile/), and analyse each");
    sub->add_flag("--json", opt->json,
                  "Print the analysis of each rebuilt file as one JSON object a line (the keys of analyze) "
                  "instead of its path");
    sub->add_option("EXCHANGE_TXT", opt->file, "Exchange text file to convert back")->required();
    sub->footer(
        "Prints the path of each tester file written, one a line, in the order of the blocks.\n"
        "A bad block stops the conversion with a message on stderr naming the line and the well; the\n"
        "tester files already written stay. A text that ends before its last block is whole gives a\n"
        "warning for that block (no file for it) and status 1.\n"
        "Exit status: 0 success, 1 the file could not be converted, 2 usage error.");
    sub->callback([opt, &exit_code] { exit_code = run_rebuild(*opt); });
}

}  // namespace tavo::cli
