#include "cli/click_analysis.h"

#include "analysis/pipeline.h"

namespace tavo::cli {

bool analyse_as_click(State& st, const std::string& file, const std::string& command,
                      std::ostream& messages) {
    st.Circle_Tol = 0.02f;
    const LoadReport load = tx_org(st, file, 1);
    if (load.unreadable()) {
        messages << "tavo-cli " << command << ": " << file << ": " << load.detail << "\n";
        return false;
    }
    if (load.kind == LoadReport::Kind::ShortSamples)
        messages << "tavo-cli " << command << ": " << file << ": warning: " << load.detail << "\n";
    return true;
}

}  // namespace tavo::cli
