// The "card" key of `tavo-cli inspect`: the diagnosis of the card.
#pragma once

#include <nlohmann/json.hpp>

#include "condition/card_diagnosis.h"

namespace tavo::cli {

// {"condition", "name", "confidence", "runner_up" (null when none), "needs_review" (bool),
//  "probabilities": {label: probability, summing to 1; empty for NO_CARD},
//  "evidence": [...] (for the condition), "runner_up_evidence": [...]}
nlohmann::json card_json(const tavo::condition::CardDiagnosis& d);

}  // namespace tavo::cli
