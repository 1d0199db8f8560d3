// Analysing one file as a click on it in the file list would, for the
// subcommands that take tester files.
#pragma once

#include <ostream>
#include <string>

#include "analysis/workspace.h"
#include "record/state.h"

namespace tavo::cli {

// Picks `file` as a click would and reports on `messages` what the reader
// met. Returns false when the file was not analysed, true otherwise (a
// warning is printed for missing samples).
bool analyse_as_click(State& st, Workspace& work, const std::string& file, const std::string& command,
                      std::ostream& messages);

}  // namespace tavo::cli
