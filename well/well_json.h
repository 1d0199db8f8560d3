// Well records as JSON: one object per well, or an array of them. The keys
// are those of the README's "Well records" section; optional keys take the
// defaults of well_defaults.h and keys the program does not know are
// passed over, so that other tools may add their own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "well/well_problem.h"
#include "well/well_record.h"

namespace tavo::well {

struct ImportResult {
    std::vector<WellRecord> records;  // empty when any problem is an error
    WellProblems problems;            // errors and warnings, in file order
};

// Reads the text of a JSON file. Every record is checked; when any value
// is wrong nothing is returned but the problems, each with its JSON path
// ("[1].rods[0].diameter_mm"; without the index for a single object).
ImportResult read_json(std::string_view text);

// The records as a JSON array (one object for one record when `single`),
// indented, UTF-8, ending with a line end. Unset optional values are left
// out; the tubing, fluid and pressure are always written.
std::string write_json(const std::vector<WellRecord>& records, bool single = false);

}  // namespace tavo::well
