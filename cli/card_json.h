// The "card" key of `tavo-cli inspect`: the diagnosis of the card.
#pragma once

#include <nlohmann/json.hpp>

#include "condition/card_diagnosis.h"

namespace tavo::cli {

// {"condition", "name", "confidence", "runner_up" (null when none), "evidence": [...]}
nlohmann::json card_json(const tavo::condition::CardDiagnosis& d);

}  // namespace tavo::cli
