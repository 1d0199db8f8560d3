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
    o["evidence"] = d.evidence;
    return o;
}

}  // namespace tavo::cli
