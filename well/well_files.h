// Files of well records, JSON or CSV as the file name's extension says.
#pragma once

#include <string>
#include <vector>

#include "well/well_json.h"

namespace tavo::well {

enum class WellFormat { Unknown, Json, Csv };

// .json or .csv, in any case.
WellFormat format_of(const std::string& path);

// Reads a whole file of records; every problem names the file. All or
// nothing: `records` is empty when any problem is an error.
ImportResult read_well_file(const std::string& path);

// Writes the records as the file (through a temporary file and a rename:
// a failed write leaves the old file as it was). An empty problem when
// written. A single record goes to JSON as one object.
WellProblem write_well_file(const std::string& path, const std::vector<WellRecord>& records);

}  // namespace tavo::well
