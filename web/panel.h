// The panel subcommand of the page's module: the analysis panel's content of
// one test as JSON, the figures and words of summary/analysis_summary.
#pragma once

#include <CLI/CLI.hpp>

namespace tavo::web {

void add_panel(CLI::App& app, int& exit_code);

}  // namespace tavo::web
