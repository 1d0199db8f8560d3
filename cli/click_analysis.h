// Analysing one file as a click on it in the file list would, for the
// subcommands that take tester files.
#pragma once

#include <ostream>
#include <string>

#include "record/state.h"

namespace tavo::cli {

// Sets Circle_Tol, runs the pipeline on `file` and reports on `messages`
// what the reader met. Returns false when the file could not be read (the
// state is then as it was), true otherwise (a warning is printed for
// missing samples).
bool analyse_as_click(State& st, const std::string& file, const std::string& command, std::ostream& messages);

}  // namespace tavo::cli
