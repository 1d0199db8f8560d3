// The object `tavo-cli inspect` prints for one test: the file, the well and
// the condition analysis. Later judgements add their keys here.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "condition/well_condition.h"
#include "record/state.h"

namespace tavo::cli {

// Keys: file, well, period {detected, verified, source, agrees, note},
// balance {up, down {max_current_A, mean_power_kW, energy_kJ},
// current_ratio, power_ratio, verdict, counterbalance_change_kN, note};
// null where a value cannot be computed.
nlohmann::json inspect_object(const tavo::State& st, const std::string& file,
                              const tavo::condition::WellCondition& c);

}  // namespace tavo::cli
