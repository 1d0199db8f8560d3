// render and report, the subcommands that draw. Their options are read by
// cmd_render.cpp and cmd_report.cpp; what carries them out is linked in:
// render_run.cpp and report_run.cpp draw in this process (tavo-draw, and
// tavo-cli when built without the window), draw_helper.cpp hands the whole
// command line to tavo-draw so that tavo-cli itself never loads Qt.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "condition/balance.h"
#include "summary/analysis_summary.h"

namespace tavo {
class RecordingSurface;
}

namespace tavo::cli {

struct RenderOptions {
    std::string view = "chart";
    std::optional<double> cycle;
    double scale = 1.0;
    std::string output;
    std::vector<std::string> files;
    std::string well_file, wells;  // --well, --wells: the pump's figures in the comparison
    // Well records the caller already holds (the web page's), used instead
    // of --well and --wells.
    const summary::WellBook* records = nullptr;
};

struct ReportOptions {
    std::vector<std::string> files;
    std::string output;
    int jobs = 0;
    bool compare = false;
    std::string period = "detected";
    condition::BalanceSettings balance;
    std::string well_file, wells;  // --well, --wells
};

// Each returns the exit status (0 success, 1 a file could not be processed,
// 2 usage error).
int run_render(const RenderOptions& o);
int run_report(const ReportOptions& o);

// The recorded operations as render writes them (-o FILE.json): one JSON
// object a line; false with the reason on `error` when the file cannot be
// written.
bool write_operations(const RecordingSurface& rec, const std::string& path, std::string* error);

// The command line as main received it, for the hand-over to tavo-draw.
void keep_command_line(int argc, char** argv);

}  // namespace tavo::cli
