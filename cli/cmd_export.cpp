#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/click_analysis.h"
#include "cli/commands.h"
#include "exchange/exchange.h"
#include "record/state.h"

namespace tavo::cli {

namespace {

struct ExportOptions {
    std::string out;
    std::vector<std::string> files;
};

int run_export(const ExportOptions& opt) {
    // One state for the run, as the window holds one; each file is analysed
    // as a click on it would and its block appended right after.
    auto st = std::make_unique<tavo::State>();
    int rc = 0;
    for (const auto& file : opt.files) {
        if (!analyse_as_click(*st, file, "export")) {
            rc = 1;
            continue;
        }
        if (st->Txt_WellName.find_first_not_of(' ') == std::string::npos)
            std::cerr << "tavo-cli export: " << file
                      << ": warning: the well name is blank; no block written\n";
        st->TxtOutFile = opt.out;
        try {
            tavo::out_txt_file(*st);
        } catch (const tavo::ExchangeError& e) {
            std::cerr << "tavo-cli export: " << file << ": " << e.what() << "\n";
            return 1;  // the blocks already appended stay
        }
    }
    return rc;
}

}  // namespace

void add_export(CLI::App& app, int& exit_code) {
    auto opt = std::make_shared<ExportOptions>();
    auto* sub = app.add_subcommand(
        "export",
        "Analyse tester files in the order given, as clicking them one after another would, and append "
        "one block of the exchange text per file to OUT");
    sub->add_option("-o,--output", opt->out, "Exchange text file to append to (created when missing)")
        ->required();
    sub->add_option("FILE", opt->files, "Tester files to export")->required();
    sub->footer(
        "A file that cannot be opened, or is shorter than its header, gives a message on stderr and no\n"
        "block; the other files are still exported. A test whose well name is blank gives no block.\n"
        "When OUT cannot be written the export stops there; the blocks already appended stay.\n"
        "Exit status: 0 success, 1 a file could not be processed, 2 usage error.");
    sub->callback([opt, &exit_code] { exit_code = run_export(*opt); });
}

}  // namespace tavo::cli
