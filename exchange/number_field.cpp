// The zero-padded fixed-width number field of the exchange text.
#include <cmath>

#include "common/fault.h"
#include "common/number_text.h"
#include "common/numbers.h"
#include "exchange/exchange.h"

namespace tavo {

std::string MyStr(float data, int16_t l, int16_t n) {
    // Rounded to n decimals, halves upward, also below zero: f·data in single precision, then
    // the exact floor of it plus one half, then the quotient as a float.
    float v;
    if (n < 1) {
        v = static_cast<float>(checked(floor_half_up(static_cast<double>(data))));
    } else {
        long p = 1;
        for (int i = 0; i < n && p <= 32767; ++i) p *= 10;
        const int16_t f = fit_i16(p);
        const float scaled = checked(static_cast<float>(f) * data);
        const double whole = floor_half_up(static_cast<double>(scaled));
        v = checked(static_cast<float>(ddiv(whole, static_cast<double>(f))));
    }

    // The sign-position form without the blank of a non-negative value.
    std::string s = sign_form(v);
    if (!s.empty() && s[0] == ' ') s.erase(0, 1);

    // Exactly n decimals.
    if (n >= 1) {
        const std::size_t point = s.find('.');
        if (point == std::string::npos) {
            s += '.';
            s.append(static_cast<std::size_t>(n), '0');
        } else {
            const std::size_t have = s.size() - point - 1;
            if (have < static_cast<std::size_t>(n)) s.append(static_cast<std::size_t>(n) - have, '0');
        }
    }

    // The width: too wide is cut; short texts get zeros in front, also
    // in front of a minus sign, which the reader skips.
    if (l < 0) raise_fault(FaultKind::Format, "negative field width");
    const auto width = static_cast<std::size_t>(l);
    if (s.size() > width) {
        s.resize(width);
    } else if (s.size() < 5) {
        s.insert(0, width - s.size(), '0');
    }
    return s;
}

float MyVal(std::string_view c) {
    const std::size_t first = c.find_first_not_of('0');
    const std::string_view rest = first == std::string_view::npos ? c : c.substr(first);
    return checked(static_cast<float>(leading_number(rest)));
}

}  // namespace tavo
