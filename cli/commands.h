// The subcommands of tavo-cli. Each registers itself on the application and
// sets `exit_code` when it runs (0 success, 1 a file could not be processed).
#pragma once

#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>

namespace tavo::cli {

void add_analyze(CLI::App& app, int& exit_code);
void add_render(CLI::App& app, int& exit_code);
void add_report(CLI::App& app, int& exit_code);
void add_export(CLI::App& app, int& exit_code);
void add_rebuild(CLI::App& app, int& exit_code);
void add_inspect(CLI::App& app, int& exit_code);
// Also registers the global option --wells PATH.
void add_well(CLI::App& app, int& exit_code);

// Parses the command line, which runs the chosen subcommand, and returns the
// exit status: the subcommand's, 0 for --help and --version, 2 for a usage
// error, 1 with the reason on stderr for anything a subcommand throws (out
// of memory, a file system error), which would otherwise end the program
// without a word.
inline int parse_and_run(CLI::App& app, const int& exit_code, int argc, char** argv) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 2;
    } catch (const std::exception& e) {
        std::cerr << "tavo-cli: error: " << e.what() << "\n";
        return 1;
    }
    return exit_code;
}

}  // namespace tavo::cli
