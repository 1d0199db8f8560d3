// render and report handed over to tavo-draw: tavo-cli has read and checked
// their options, and tavo-draw reads the same command line again and draws.
// Loading Qt costs a start of every command some 27 ms; only these two need
// it. tavo-draw replaces this process, so its messages and exit status are
// the command's own.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/draw_commands.h"

namespace tavo::cli {

namespace {

std::vector<char*> command_line;

// Beside this program in the build tree; in an installed tree, where the
// installation puts it relative to this program's folder.
std::vector<std::filesystem::path> helper_places() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::filesystem::path dir = ec ? std::filesystem::path(".") : self.parent_path();
    return {dir / TAVO_DRAW_HELPER, (dir / TAVO_DRAW_HELPER_INSTALLED).lexically_normal()};
}

int hand_over(const char* command) {
    std::cout.flush();
    std::cerr.flush();
    const std::vector<std::filesystem::path> places = helper_places();
    for (const std::filesystem::path& p : places) {
        if (access(p.c_str(), F_OK) != 0) continue;
        execv(p.c_str(), command_line.data());
        // Only reached when the helper could not be started.
        std::cerr << "tavo-cli " << command << ": cannot start " << p.string() << ": " << std::strerror(errno)
                  << "\n";
        return 1;
    }
    std::cerr << "tavo-cli " << command << ": " << TAVO_DRAW_HELPER
              << ", the program that draws, is missing: looked for " << places[0].string() << " and "
              << places[1].string() << "\n";
    return 1;
}

}  // namespace

void keep_command_line(int argc, char** argv) {
    command_line.assign(argv, argv + argc);
    command_line.push_back(nullptr);
}

int run_render(const RenderOptions&) {
    return hand_over("render");
}

int run_report(const ReportOptions&) {
    return hand_over("report");
}

}  // namespace tavo::cli
