// The well records a command works with: those of a file (--well) or of
// the database (--wells, else its default place), read once before the
// tests are analysed.
#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

#include "summary/analysis_summary.h"

namespace tavo::cli {

// Reads the records into `book`. A file that cannot be read is an error
// (false, the reason on `err`); a database that is missing holds no record,
// one that cannot be read is a warning on `err`: the tests are still
// analysed, without pump cards. A file of one record stands for the well of
// every test (it is also the book's fallback record).
bool load_well_book(const std::string& well_file, const std::string& db_option, summary::WellBook& book,
                    std::ostream& err);

// --well FILE and --wells PATH on a subcommand that analyses tests.
void add_well_options(CLI::App* sub, std::string& well_file, std::string& wells);

}  // namespace tavo::cli
