#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/click_analysis.h"
#include "cli/commands.h"
#include "cli/in_order.h"
#include "cli/period_option.h"
#include "common/text.h"
#include "exchange/exchange.h"
#include "record/state.h"

namespace tavo::cli {

namespace {

struct ExportOptions {
    std::string out;
    std::vector<std::string> files;
    int jobs = 0;
    std::string period = "detected";
};

// What exporting one file gives: the messages to print, and its block.
struct FileExport {
    std::string messages;
    std::string block;
    bool failed = false;
};

// Each file is analysed in a state of its own, as the first click after
// the program starts would, so that a block never carries anything of the
// file before it and the files can be analysed in any order.
FileExport export_one(tavo::Workspace& work, const std::string& file, const std::string& target,
                      const std::string& period) {
    FileExport r;
    std::ostringstream msg;
    auto st = std::make_unique<tavo::State>();
    if (!analyse_as_click(*st, work, file, "export", msg)) {
        r.failed = true;
    } else {
        apply_period_option(period, *st);
        if (const tavo::Problem p = tavo::out_txt_block(*st, target, r.block)) {
            msg << "tavo-cli export: " << file << ": " << tavo::english(p) << "\n";
            r.failed = true;
        } else if (r.block.empty()) {
            // Only a blank well name gives no block.
            msg << "tavo-cli export: " << file << ": warning: the well name is blank; no block written\n";
        }
    }
    r.messages = msg.str();
    return r;
}

int run_export(const ExportOptions& opt) {
    const std::string target = tavo::MyTrim(opt.out);
    const int jobs = job_count(opt.jobs);
    int rc = 0;
    run_in_order<FileExport, tavo::Workspace>(
        opt.files.size(), jobs,
        [&](tavo::Workspace& work, std::size_t i) {
            return export_one(work, opt.files[i], target, opt.period);
        },
        [&](std::size_t i, FileExport& r) {
            std::cerr << r.messages;
            if (r.failed) rc = 1;
            if (const tavo::Problem p = tavo::append_exchange_block(target, r.block)) {
                std::cerr << "tavo-cli export: " << opt.files[i] << ": " << tavo::english(p) << "\n";
                rc = 1;
                return false;  // the blocks already appended stay
            }
            return true;
        });
    return rc;
}

}  // namespace

void add_export(CLI::App& app, int& exit_code) {
    auto opt = std::make_shared<ExportOptions>();
    auto* sub = app.add_subcommand(
        "export",
        "Analyse tester files, each as the first click after the program starts would, and append one "
        "block of the exchange text per file to OUT, in the order the files are given");
    sub->add_option("-o,--output", opt->out, "Exchange text file to append to (created when missing)")
        ->required();
    sub->add_option("-j,--jobs", opt->jobs,
                    "Files analysed in parallel (default: one per processor); the output is the same "
                    "byte for byte whatever the number")
        ->check(CLI::NonNegativeNumber);
    add_period_option(sub, opt->period);
    sub->add_option("FILE", opt->files, "Tester files to export")->required();
    sub->footer(
        "A file that cannot be opened, or is shorter than its header, gives a message on stderr and no\n"
        "block; so does a test whose curves cannot be written. The other files are still exported.\n"
        "A test whose well name is blank gives no block.\n"
        "When OUT cannot be written the export stops there; the blocks already appended stay.\n"
        "Exit status: 0 success, 1 a file could not be processed, 2 usage error.");
    sub->callback([opt, &exit_code] { exit_code = run_export(*opt); });
}

}  // namespace tavo::cli
