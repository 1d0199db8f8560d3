// The options --balance-band LO,HI and --drive-efficiency E shared by
// inspect and report, so that both take the same figures as the window's
// analysis panel.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "condition/balance.h"

namespace tavo::cli {

// Reads the options into `settings` once the command line is parsed.
void add_balance_options(CLI::App* sub, condition::BalanceSettings& settings);

}  // namespace tavo::cli
