// tavo-draw: carries out tavo-cli's render and report, the commands that draw
// with Qt. tavo-cli checks their options and hands over its command line
// unchanged (its name included), so the help, the messages and the exit
// statuses are those of tavo-cli.
#include "cli/commands.h"

// NOLINTNEXTLINE(bugprone-exception-escape): only building the option table is outside parse_and_run's catch
int main(int argc, char** argv) {
    CLI::App app{"tavo-draw: draws for tavo-cli render and tavo-cli report"};
    app.require_subcommand(1);
    int exit_code = 0;
    tavo::cli::add_render(app, exit_code);
    tavo::cli::add_report(app, exit_code);
    return tavo::cli::parse_and_run(app, exit_code, argc, argv);
}
