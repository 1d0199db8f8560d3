#include "cli/card_json.h"

#include <cmath>

namespace tavo::cli {

nlohmann::json card_json(const tavo::condition::CardDiagnosis& d) {
    nlohmann::json o = nlohmann::json::object();
    o["condition"] = d.condition;
    o["name"] = d.name;
    o["confidence"] = std::isfinite(d.confidence) ? nlohmann::json(std::round(d.confidence * 1000.0) / 1000.0)
                                                  : nlohmann::json(nullptr);
    o["runner_up"] = d.runner_up.empty() ? nlohmann::json(nullptr) : nlohmann::json(d.runner_up);
    o["needs_review"] = d.needs_review;
    nlohmann::json p = nlohmann::json::object();
    for (const auto& [label, probability] : d.probabilities)
        p[label] = std::isfinite(probability) ? nlohmann::json(probability) : nlohmann::json(nullptr);
    o["probabilities"] = p;
    o["evidence"] = d.evidence;
    o["runner_up_evidence"] = d.runner_up_evidence;
    return o;
}

}  // namespace tavo::cli
