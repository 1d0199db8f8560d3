#include "cli/click_analysis.h"

#include "analysis/pick_file.h"

namespace tavo::cli {

bool analyse_as_click(State& st, Workspace& work, const std::string& file, const std::string& command,
                      std::ostream& messages) {
    const Problem p = pick_file(st, work, file);
    if (!p) return true;
    messages << "tavo-cli " << command << ": " << file << ": " << (p.warning() ? "warning: " : "")
             << english(p) << "\n";
    return p.warning();
}

}  // namespace tavo::cli
