#include "cli/commands.h"

namespace tavo::cli {

void add_rebuild(CLI::App& app, int& exit_code) {
    auto* sub = app.add_subcommand("rebuild", "(not yet available)");
    sub->callback([&exit_code] { exit_code = 2; });
}

}  // namespace tavo::cli
