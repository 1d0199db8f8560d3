// The well records' problems in the window's words (Chinese), for the window
// and the web page alike.
#pragma once

#include <string>

#include "well/well_problem.h"

namespace tavo::summary {

// The field of a record path (".rods[1].diameter_mm" → "第2级杆 直径 (mm)").
std::string well_field_label(const std::string& field);

// One problem of a record or a file: where, then why. `io_reason` is the
// system's reason in the front end's words, for a file that could not be
// read or written.
std::string well_problem_text(const well::WellProblem& p, const std::string& io_reason = {});

}  // namespace tavo::summary
