#include "cli/commands.h"

namespace tavo::cli {

void add_analyze(CLI::App& app, int& exit_code) {
    auto* sub = app.add_subcommand("analyze", "(not yet available)");
    sub->callback([&exit_code] { exit_code = 2; });
}

}  // namespace tavo::cli
