// tavo-cli render: its options; run_render carries it out.
#include <memory>

#include "cli/commands.h"
#include "cli/draw_commands.h"
#include "cli/well_book.h"

namespace tavo::cli {

void add_render(CLI::App& app, int& exit_code) {
    auto opts = std::make_shared<RenderOptions>();
    auto* sub = app.add_subcommand(
        "render", "Analyse tester files and draw the chart, the table, the card or a comparison");
    sub->add_option("--view", opts->view, "View to draw (compare: several files side by side)")
        ->check(CLI::IsMember({"chart", "table", "card", "compare"}))
        ->capture_default_str();
    sub->add_option_function<double>(
           "--cycle", [opts](double v) { opts->cycle = v; },
           "Stroke length in samples, as typed into the cycle box")
        ->check(CLI::Range(1.0, 3000.0));
    sub->add_option("--scale", opts->scale, "Size relative to the window's drawing area")
        ->check(CLI::Range(0.01, 32.0))
        ->capture_default_str();
    sub->add_option("-o,--output", opts->output, "Output file: .png, .svg, .pdf or .json (operations)")
        ->required();
    add_well_options(sub, opts->well_file, opts->wells);
    sub->add_option("FILE", opts->files, "Tester file (several for --view compare)")
        ->required()
        ->check(CLI::ExistingFile);
    sub->callback([opts, &exit_code] { exit_code = run_render(*opts); });
}

}  // namespace tavo::cli
