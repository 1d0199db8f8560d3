// tavo-cli report: its options; run_report carries it out.
#include <memory>

#include "cli/balance_options.h"
#include "cli/commands.h"
#include "cli/draw_commands.h"
#include "cli/period_option.h"
#include "cli/well_book.h"

namespace tavo::cli {

void add_report(CLI::App& app, int& exit_code) {
    auto opts = std::make_shared<ReportOptions>();
    auto* sub = app.add_subcommand("report", "Write a printable PDF report, one A4 page per tester file");
    sub->add_option("-j,--jobs", opts->jobs, "Files analysed in parallel (default: one per processor)")
        ->check(CLI::NonNegativeNumber);
    sub->add_flag("--compare", opts->compare, "Add a page comparing the tests side by side");
    add_period_option(sub, opts->period);
    add_balance_options(sub, opts->balance);
    add_well_options(sub, opts->well_file, opts->wells);
    sub->add_option("-o,--output", opts->output, "Output file (.pdf)")->required();
    sub->add_option("FILE", opts->files, "Tester files")->required();
    sub->footer(
        "A file that cannot be read gets a page that says why, with the message analyze gives on stderr;\n"
        "one whose samples end early is marked incomplete on its page and in the comparison, with\n"
        "analyze's warning. The balance uses the band and drive efficiency given (as the window's panel\n"
        "does), and each page states them.\n"
        "A test whose well has a record gets a second page with its pump card.\n"
        "Exit status: 0 success, 1 a file could not be read or the report not written, 2 usage error.");
    sub->callback([opts, &exit_code] { exit_code = run_report(*opts); });
}

}  // namespace tavo::cli
