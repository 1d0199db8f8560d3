// Well records as CSV, for bulk entry from a spreadsheet: a header row of
// column names, then one row per taper, top taper first. The well-level
// values (pump, tubing, fluid, pressures, damping, notes) stand on a well's
// first row; its later rows leave them empty or repeat them unchanged.
// The rows of one well follow each other. Columns go in any order; unknown
// columns are passed over. Text is UTF-8 (a byte order mark is allowed);
// a file that is not UTF-8 is read as code page 936, as Chinese spreadsheet
// programs save it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "well/well_json.h"

namespace tavo::well {

// The columns, in the order write_csv writes them. "well", "length_m",
// "diameter_mm", "pump_depth_m" and "plunger_mm" are required.
extern const std::vector<std::string> csv_columns;

// Reads the text of a CSV file; all or nothing, as read_json. A problem
// names the line (from 1, the header being line 1) and the column.
ImportResult read_csv(std::string_view text);

// The records as CSV (UTF-8 with a byte order mark, so that spreadsheet
// programs take it as UTF-8; lines end in CR LF), the well-level values on
// each well's first row.
std::string write_csv(const std::vector<WellRecord>& records);

}  // namespace tavo::well
