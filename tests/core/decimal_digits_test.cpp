// The portable digits against the standard library's to_chars: the same
// text for every value tried.
#include "common/decimal_digits.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace tavo {
namespace {

template <typename F>
std::string std_shortest(F v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string std_fixed(double v, int decimals) {
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    return std::string(buf, r.ptr);
}

// Digits and point from to_chars' scientific form with a precision.
DecimalDigits std_rounded(double v, int count) {
    char buf[64];
    const auto r =
        std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, count - 1);
    DecimalDigits d;
    const char* p = buf;
    for (; p != r.ptr && *p != 'e'; ++p)
        if (*p != '.') d.digits.push_back(*p);
    d.point = std::stoi(std::string(p + 1, static_cast<const char*>(r.ptr))) + 1;
    return d;
}

// Values where digit generation is known to be delicate: powers of two and
// ten and their neighbours, the ends of the range, halves and ties.
std::vector<double> edge_doubles() {
    std::vector<double> v = {0.0,
                             -0.0,
                             0.1,
                             0.3,
                             1.0 / 3.0,
                             2.5,
                             0.125,
                             1e23,
                             9007199254740993.0,
                             5e-324,
                             2.2250738585072014e-308,
                             2.2250738585072009e-308,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    for (int e = -1074; e <= 1023; ++e) {
        const double p = std::ldexp(1.0, e);
        v.push_back(p);
        v.push_back(std::nextafter(p, 0.0));
        v.push_back(std::nextafter(p, INFINITY));
    }
    for (int e = -323; e <= 308; ++e) {
        const double p = std::pow(10.0, e);
        v.push_back(p);
        v.push_back(-std::nextafter(p, 0.0));
        v.push_back(std::nextafter(p, INFINITY));
        v.push_back(5 * p);
    }
    return v;
}

std::vector<double> random_doubles(int n) {
    std::mt19937_64 rng(936);
    std::vector<double> v;
    for (int i = 0; i < n; ++i) {
        const double d = std::bit_cast<double>(rng());
        if (std::isfinite(d)) v.push_back(d);
        // Values of everyday size with few digits, where ties are common.
        v.push_back(static_cast<double>(rng() % 2000001) / 1000.0 - 1000.0);
        v.push_back(static_cast<double>(rng() % 100000) * 0.5);
    }
    return v;
}

TEST(DecimalDigits, ShortestDoublesAsToChars) {
    for (const double v : edge_doubles()) ASSERT_EQ(shortest_chars(v), std_shortest(v)) << std_shortest(v);
    for (const double v : random_doubles(300000))
        ASSERT_EQ(shortest_chars(v), std_shortest(v)) << std_shortest(v);
}

TEST(DecimalDigits, ShortestFloatsAsToChars) {
    // Every 601st bit pattern (prime, so every exponent and low-bit pattern
    // is met), and every float around the powers of two.
    for (std::uint64_t b = 0; b <= 0xFFFFFFFFu; b += 601) {
        const float f = std::bit_cast<float>(static_cast<std::uint32_t>(b));
        ASSERT_EQ(shortest_chars(f), std_shortest(f)) << std_shortest(f);
    }
    for (std::uint32_t e = 0; e < 255; ++e)
        for (std::uint32_t low = 0; low < 64; ++low)
            for (const std::uint32_t b : {e << 23 | low, e << 23 | (0x7FFFFFu - low)}) {
                const float f = std::bit_cast<float>(b);
                ASSERT_EQ(shortest_chars(f), std_shortest(f)) << std_shortest(f);
            }
}

TEST(DecimalDigits, RoundedAsScientificToChars) {
    for (const int count : {7, 15, 1, 17}) {
        for (const double v : edge_doubles()) {
            if (!std::isfinite(v) || v == 0) continue;
            const DecimalDigits want = std_rounded(v, count);
            const DecimalDigits got = rounded_digits(v, count);
            ASSERT_EQ(got.digits, want.digits) << v;
            ASSERT_EQ(got.point, want.point) << v;
        }
        for (const double v : random_doubles(100000)) {
            if (v == 0) continue;
            const DecimalDigits want = std_rounded(v, count);
            const DecimalDigits got = rounded_digits(v, count);
            ASSERT_EQ(got.digits, want.digits) << v;
            ASSERT_EQ(got.point, want.point) << v;
        }
    }
    // Floats widened, as the legacy seven-digit form rounds them.
    for (std::uint64_t b = 0; b < 0x7F800000u; b += 997) {
        const double v = std::bit_cast<float>(static_cast<std::uint32_t>(b));
        if (v == 0) continue;
        const DecimalDigits want = std_rounded(v, 7);
        ASSERT_EQ(rounded_digits(v, 7).digits, want.digits) << v;
    }
}

TEST(DecimalDigits, FixedAsToChars) {
    for (const int decimals : {0, 1, 2, 3, 6}) {
        for (const double v : random_doubles(50000))
            ASSERT_EQ(fixed_chars(v, decimals), std_fixed(v, decimals)) << v;
        for (const double v :
             {0.0, -0.0, 0.5, 1.5, 2.5, -0.005, 0.125, 0.0625, 1e-300, 1e300, 999.9996, 0.05, 9.995})
            ASSERT_EQ(fixed_chars(v, decimals), std_fixed(v, decimals)) << v;
    }
}

TEST(DecimalDigits, ReadsAsFromChars) {
    for (const char* t :
         {"0", "12.5", "0.1", "123456789012345678901234567890", "0.000000000000000000001",
          "2.2250738585072011", "9007199254740993", "1.00000000000000011102230246251565404"}) {
        double want = 0;
        const std::string s(t);
        std::from_chars(s.data(), s.data() + s.size(), want);
        EXPECT_EQ(read_decimal(s), want) << t;
    }
}

}  // namespace
}  // namespace tavo
