#include "condition/fixed_text.h"

#include <charconv>
#include <cmath>

#include "common/decimal_digits.h"

namespace tavo::condition {

std::string fixed_text(double v, int decimals) {
    if (!std::isfinite(v)) return "?";
    const double scale = std::pow(10.0, decimals);
    double r = std::round(v * scale) / scale;
    if (r == 0.0) r = 0.0;  // no "-0"
#if TAVO_STD_FLOAT_CHARS
    char buf[400];  // the widest double in fixed form has 309 integer digits
    const auto res = std::to_chars(buf, buf + sizeof buf, r, std::chars_format::fixed, decimals);
    return std::string(buf, res.ptr);
#else
    return fixed_chars(r, decimals);
#endif
}

}  // namespace tavo::condition
