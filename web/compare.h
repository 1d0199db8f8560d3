// The compare subcommand of the page's module: the comparison view of
// several tests with the page's well records.
#pragma once

#include <CLI/CLI.hpp>

namespace tavo::web {

void add_compare(CLI::App& app, int& exit_code);

}  // namespace tavo::web
