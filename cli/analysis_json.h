// The machine-readable form of an analysed test: one JSON object with the
// header words, the cycle, the electrical and card results, the result
// boxes and optionally the sample arrays.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "record/state.h"

namespace tavo::cli {

// The object for `file` from the state as the analysis left it. Numbers
// held in 32 bits are stored as the double nearest to their shortest text,
// so that they print short and read back to the same 32-bit value.
nlohmann::json analysis_object(const tavo::State& st, const std::string& file, bool with_arrays);

// One line of compact JSON: every number in its shortest round-trip text
// ("1234", not "1234.0"), strings in UTF-8.
std::string json_line(const nlohmann::json& j);

}  // namespace tavo::cli
