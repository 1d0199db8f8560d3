// The zero-padded fixed-width number field of the exchange text.
#include <charconv>
#include <cmath>

#include "common/fault.h"
#include "common/number_text.h"
#include "common/numbers.h"
#include "exchange/exchange.h"

namespace tavo {

namespace {

// Below this, a rounded field is written straight from its whole number of
// units: the general form's text is the same for every whole below it, for
// every number of decimals (1 to 4, and 0), as checked one by one.
constexpr double kExactWholes = 1e7;

// whole / 10^n with exactly n decimals and no 0 before the point, as the
// sign-position form of a value below 1 has it; zero is "0" with its
// decimals.
std::string exact_text(double whole, int n) {
    char buf[32];
    char* p = buf;
    long w = static_cast<long>(whole);
    if (w < 0) {
        *p++ = '-';
        w = -w;
    }
    long unit = 1;
    for (int i = 0; i < n; ++i) unit *= 10;
    const long q = w / unit;
    long r = w % unit;
    if (q > 0 || w == 0) p = std::to_chars(p, buf + sizeof buf, q).ptr;
    if (n > 0) {
        *p++ = '.';
        for (int i = n - 1; i >= 0; --i) {
            p[i] = static_cast<char>('0' + r % 10);
            r /= 10;
        }
        p += n;
    }
    return std::string(buf, p);
}

// The sign-position form of v without the blank of a non-negative value,
// with exactly n decimals.
std::string general_text(float v, int n) {
    std::string s = sign_form(v);
    if (!s.empty() && s[0] == ' ') s.erase(0, 1);
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
    return s;
}

}  // namespace

std::string MyStr(float data, int16_t l, int16_t n) {
    // Rounded to n decimals, halves upward, also below zero: f·data in single precision, then
    // the exact floor of it plus one half, then the quotient as a float.
    float v;
    double whole;
    if (n < 1) {
        whole = checked(floor_half_up(static_cast<double>(data)));
        v = static_cast<float>(whole);
    } else {
        long p = 1;
        for (int i = 0; i < n && p <= 32767; ++i) p *= 10;
        const int16_t f = fit_i16(p);
        const float scaled = checked(static_cast<float>(f) * data);
        whole = floor_half_up(static_cast<double>(scaled));
        v = checked(static_cast<float>(ddiv(whole, static_cast<double>(f))));
    }

    std::string s = std::fabs(whole) < kExactWholes ? exact_text(whole, n < 1 ? 0 : n) : general_text(v, n);

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
