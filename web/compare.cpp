#include "web/compare.h"

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/draw_commands.h"
#include "views/compare_view.h"
#include "web/well_records.h"

namespace tavo::web {

void add_compare(CLI::App& app, int& exit_code) {
    auto opt = std::make_shared<cli::RenderOptions>();
    auto wells = std::make_shared<std::string>();
    auto* sub = app.add_subcommand(
        "compare", "The comparison view of tests as operations (JSON); prints the drawing's size in mm");
    sub->add_option("--wells", *wells, "The well records kept by the page (a JSON well file)");
    sub->add_option("-o,--output", opt->output, "The operations' file (.json)")->required();
    sub->add_option("FILE", opt->files, "Tester files")->required();
    sub->callback([opt, wells, &exit_code] {
        summary::WellBook book;
        std::string why;
        if (!load_well_store(*wells, book, why)) std::cerr << why << "\n";
        opt->view = "compare";
        opt->records = &book;
        exit_code = cli::run_render(*opt);
        if (exit_code != 0) return;
        const CompareSize size = compare_size(static_cast<int>(opt->files.size()));
        std::cout << "{\"width_mm\":" << size.width_mm << ",\"height_mm\":" << size.height_mm << "}\n"
                  << std::flush;
    });
}

}  // namespace tavo::web
