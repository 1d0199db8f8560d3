// The page's well records: kept by the page (the browser's storage) as the
// text of a well file in JSON, the same as `tavo-cli well export` writes;
// imported, removed and read here through the core's reader and writer.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "summary/analysis_summary.h"

namespace tavo::web {

// The records of a store file (empty when there is none); false with the
// problems' words on `why` when it cannot be read.
bool load_well_store(const std::string& store, summary::WellBook& book, std::string& why);

// The subcommand "wells": import FILE, remove NAME or list, on --store.
void add_wells(CLI::App& app, int& exit_code);

}  // namespace tavo::web
