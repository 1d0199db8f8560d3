// The rebuild subcommand of the page's module: tester files from an exchange
// text, with the window's words for what stopped it.
#pragma once

#include <CLI/CLI.hpp>

namespace tavo::web {

void add_rebuild_files(CLI::App& app, int& exit_code);

}  // namespace tavo::web
