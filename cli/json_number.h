// Figures of tavo-cli's JSON: rounded to the decimals that mean something,
// null when absent or not finite, never "-0".
#pragma once

#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>

namespace tavo::cli {

inline nlohmann::json json_number(std::optional<double> v, int decimals) {
    if (!v || !std::isfinite(*v)) return nullptr;
    const double scale = std::pow(10.0, decimals);
    const double r = std::round(*v * scale) / scale;
    return r == 0.0 ? 0.0 : r;
}

}  // namespace tavo::cli
