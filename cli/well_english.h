// The English words of tavo-cli for the well records' problems.
#pragma once

#include <string>

#include "well/well_problem.h"
#include "welldb/well_store.h"

namespace tavo::cli {

// "wells.csv: line 3, column diameter_mm (well "W1"): 0 is not above 0"
std::string english(const well::WellProblem& p);
// "the well database \"...\" is locked by another program; try again when it is done"
std::string english(const welldb::StoreProblem& p);

// The database file: the --wells option when given, else the default
// location (TAVO_WELLS_DB, then the user's data folder).
std::string wells_db_path(const std::string& option);

}  // namespace tavo::cli
