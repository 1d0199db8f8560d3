#include "web/rebuild.h"

#include <iostream>
#include <memory>
#include <string>

#include "common/problem.h"
#include "exchange/exchange.h"
#include "record/state.h"

namespace tavo::web {

namespace {

struct RebuildOptions {
    std::string file;   // the exchange text in the module's memory
    std::string shown;  // its name as the user knows it
};

// Prints each tester file written, one a line, as it is written; the
// problem in Chinese on stderr. Exit status 0, 1 when a block stopped the
// rebuild, 3 when only the last block was incomplete (no file for it).
int run(const RebuildOptions& o) {
    auto st = std::make_unique<State>();
    Problem p = InvOutFile(*st, o.file, [](const std::string& path) {
                    std::cout << path << "\n" << std::flush;
                }).problem;
    if (!p) return 0;
    if (p.path == o.file) p.path = o.shown;
    std::cerr << chinese(p) << "\n";
    return p.warning() ? 3 : 1;
}

}  // namespace

void add_rebuild_files(CLI::App& app, int& exit_code) {
    auto opt = std::make_shared<RebuildOptions>();
    auto* sub =
        app.add_subcommand("rebuild-files", "Tester files from an exchange text, problems in Chinese");
    sub->add_option("--shown", opt->shown, "The exchange text's name in messages");
    sub->add_option("EXCHANGE_TXT", opt->file, "Exchange text file")->required();
    sub->callback([opt, &exit_code] {
        if (opt->shown.empty()) opt->shown = opt->file;
        exit_code = run(*opt);
    });
}

}  // namespace tavo::web
