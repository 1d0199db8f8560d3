// tavo-cli: the command-line companion of the window.
#include <iostream>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "cli/commands.h"
#include "cli/draw_commands.h"
#include "tavo_version.h"

// NOLINTNEXTLINE(bugprone-exception-escape): only building the option table is outside parse_and_run's catch
int main(int argc, char** argv) {
#ifdef __GLIBC__
    // Every file of a batch needs the same few large buffers again. Freed
    // memory is kept for the next file instead of going back to the system,
    // which would zero it and map it again each time.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
#endif
#ifdef TAVO_DRAW_HELPER
    tavo::cli::keep_command_line(argc, argv);
#endif
    CLI::App app{"tavo-cli: analyse, render and convert tester files from the command line"};
    app.set_version_flag("--version", "tavo-cli " TAVO_VERSION,
                         "Print the program's name and version and exit");
    app.require_subcommand(1);
    int exit_code = 0;
    tavo::cli::add_analyze(app, exit_code);
    tavo::cli::add_render(app, exit_code);
    tavo::cli::add_report(app, exit_code);
    tavo::cli::add_export(app, exit_code);
    tavo::cli::add_rebuild(app, exit_code);
    tavo::cli::add_inspect(app, exit_code);
    tavo::cli::add_well(app, exit_code);
    return tavo::cli::parse_and_run(app, exit_code, argc, argv);
}
