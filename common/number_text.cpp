#include "common/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/decimal_digits.h"

namespace tavo {
namespace {

// Digits and exponent of |v| rounded to `digits` significant digits (the
// exact binary value rounded, ties to even).
struct Decimal {
    bool negative = false;
    bool zero = true;
    std::string digits;  // no trailing zeros
    int exponent = 0;    // value = 0.d1d2d3... * 10^(exponent+1)
};

Decimal decompose(double v, int digits) {
    Decimal d;
    if (v == 0.0 || std::isnan(v)) return d;
    d.negative = v < 0.0;
    d.zero = false;
#if TAVO_STD_FLOAT_CHARS
    // to_chars with a precision rounds as printf's %.*e does, without
    // printf's cost.
    char buf[64];
    const auto end =
        std::to_chars(buf, buf + sizeof buf - 1, std::fabs(v), std::chars_format::scientific, digits - 1);
    *end.ptr = '\0';
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
    d.exponent = (*p == 'e') ? std::atoi(p + 1) : 0;
#else
    DecimalDigits exact = rounded_digits(v, digits);
    d.digits = std::move(exact.digits);
    d.exponent = exact.point - 1;
#endif
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

// Magnitude text; `lead_zero` puts a 0 before the point below 1.
std::string magnitude(const Decimal& d, int digits, bool lead_zero) {
    if (d.zero) return "0";
    const std::string& s = d.digits;
    const int e = d.exponent;
    std::string out;
    if (e < -4 || e >= digits) {
        out.push_back(s[0]);
        if (s.size() > 1) {
            out.push_back('.');
            out.append(s, 1, std::string::npos);
        }
        char ebuf[16];
        std::snprintf(ebuf, sizeof ebuf, "E%c%02d", e < 0 ? '-' : '+', std::abs(e));
        out += ebuf;
        return out;
    }
    if (e >= 0) {
        const std::size_t int_len = static_cast<std::size_t>(e) + 1;
        if (s.size() <= int_len) {
            out = s + std::string(int_len - s.size(), '0');
        } else {
            out = s.substr(0, int_len) + "." + s.substr(int_len);
        }
        return out;
    }
    if (lead_zero) out.push_back('0');
    out.push_back('.');
    out.append(static_cast<std::size_t>(-e - 1), '0');
    out += s;
    return out;
}

std::string sign_form_impl(double v, int digits) {
    const Decimal d = decompose(v, digits);
    return (d.negative ? "-" : " ") + magnitude(d, digits, false);
}

std::string plain_form_impl(double v, int digits) {
    const Decimal d = decompose(v, digits);
    return (d.negative ? "-" : "") + magnitude(d, digits, true);
}

}  // namespace

std::string sign_form(float v) {
    return sign_form_impl(v, 7);
}
std::string sign_form(double v) {
    return sign_form_impl(v, 15);
}
std::string printed_form(float v) {
    return sign_form(v) + " ";
}
std::string printed_form(double v) {
    return sign_form(v) + " ";
}
std::string plain_form(float v) {
    return plain_form_impl(v, 7);
}
std::string plain_form(double v) {
    return plain_form_impl(v, 15);
}

std::string int_text(long v) {
    return std::to_string(v);
}

double leading_number(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') s.push_back(c);
    std::size_t i = 0;
    std::string num;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') num.push_back(s[i++]), ++digits;
    if (i < s.size() && s[i] == '.') {
        num.push_back(s[i++]);
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') num.push_back(s[i++]), ++digits;
    }
    if (digits == 0) return 0.0;
    if (num.back() == '.') num.pop_back();
    if (!num.empty() && num.front() == '.') num.insert(num.begin(), '0');
#if TAVO_STD_FLOAT_CHARS
    double v = 0.0;
    std::from_chars(num.data(), num.data() + num.size(), v);  // locale-independent
#else
    const double v = read_decimal(num);
#endif
    return negative ? -v : v;
}

std::string shortest_text(float v) {
#if TAVO_STD_FLOAT_CHARS
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
#else
    return shortest_chars(v);
#endif
}
std::string shortest_text(double v) {
#if TAVO_STD_FLOAT_CHARS
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
#else
    return shortest_chars(v);
#endif
}

}  // namespace tavo
