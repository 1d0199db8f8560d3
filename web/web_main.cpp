// The page's module: tavo-cli's commands and the panel, called by the page's
// worker with a command line, on files in the module's memory.
#include "cli/commands.h"
#include "tavo_version.h"
#include "web/compare.h"
#include "web/panel.h"
#include "web/rebuild.h"
#include "web/well_records.h"

int main(int argc, char** argv) {
    CLI::App app{"tavo-web: the program's commands in a web page"};
    app.set_version_flag("--version", "tavo-web " TAVO_VERSION,
                         "Print the program's name and version and exit");
    app.require_subcommand(1);
    int exit_code = 0;
    tavo::cli::add_analyze(app, exit_code);
    tavo::cli::add_render(app, exit_code);
    tavo::cli::add_export(app, exit_code);
    tavo::cli::add_rebuild(app, exit_code);
    tavo::cli::add_inspect(app, exit_code);
    tavo::web::add_panel(app, exit_code);
    tavo::web::add_wells(app, exit_code);
    tavo::web::add_compare(app, exit_code);
    tavo::web::add_rebuild_files(app, exit_code);
    return tavo::cli::parse_and_run(app, exit_code, argc, argv);
}
