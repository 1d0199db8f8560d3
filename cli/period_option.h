// The option --period detected|verified shared by analyze, export and
// inspect.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "record/state.h"

namespace tavo::cli {

void add_period_option(CLI::App* sub, std::string& mode);

// After the analysis of one file: with "verified", reruns the calculations
// on the verified period where the check disagrees with the detection.
void apply_period_option(const std::string& mode, State& st);

}  // namespace tavo::cli
