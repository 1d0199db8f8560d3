#include "condition/fixed_text.h"

#include <charconv>
#include <cmath>

namespace tavo::condition {

std::string fixed_text(double v, int decimals) {
    if (!std::isfinite(v)) return "?";
    const double scale = std::pow(10.0, decimals);
    double r = std::round(v * scale) / scale;
    if (r == 0.0) r = 0.0;  // no "-0"
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, r, std::chars_format::fixed, decimals);
    return std::string(buf, res.ptr);
}

}  // namespace tavo::condition
