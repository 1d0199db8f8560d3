#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/fault.h"
#include "common/number_text.h"
#include "exchange/exchange.h"

namespace tavo {
namespace {

TEST(ExchangeMyStr, WorkedExamples) {
    EXPECT_EQ(MyStr(35.27f, 5, 1), "035.3");
    EXPECT_EQ(MyStr(135.25f, 5, 1), "135.3");
    EXPECT_EQ(MyStr(0.05f, 4, 2), "0.05");
    EXPECT_EQ(MyStr(-0.05f, 4, 2), "-.05");
    EXPECT_EQ(MyStr(1.5f, 4, 2), "1.50");
    EXPECT_EQ(MyStr(12.0f, 5, 1), "012.0");
    EXPECT_EQ(MyStr(0.5f, 4, 2), "0.50");
    EXPECT_EQ(MyStr(380.0f, 4, 0), "0380");
    EXPECT_EQ(MyStr(0.0f, 5, 1), "000.0");
}

TEST(ExchangeMyStr, HalvesRoundUpwardAlsoBelowZero) {
    EXPECT_EQ(MyStr(-2.25f, 5, 1), "0-2.2");
    EXPECT_EQ(MyStr(2.25f, 5, 1), "002.3");
    EXPECT_EQ(MyStr(-2.5f, 4, 0), "00-2");
    EXPECT_EQ(MyStr(2.5f, 4, 0), "0003");
    // 2.675 is 2.67499995 in 32 bits; the 32-bit product is 267.5.
    EXPECT_EQ(MyStr(2.675f, 4, 2), "2.68");
    // A small negative value that rounds to zero carries no sign.
    EXPECT_EQ(MyStr(-0.04f, 5, 1), "000.0");
}

TEST(ExchangeMyStr, TooWideIsCutNotRounded) {
    EXPECT_EQ(MyStr(1234.5f, 5, 1), "1234.");
    EXPECT_EQ(MyStr(12345.0f, 4, 0), "1234");
    EXPECT_EQ(MyStr(-123.45f, 5, 1), "-123.");
    EXPECT_EQ(MyStr(-3.2f, 5, 1), "0-3.2");
}

TEST(ExchangeMyStr, ZerosOnlyInFrontOfTextsShorterThanFive) {
    // A width above 5 pads only texts shorter than 5 characters.
    EXPECT_EQ(MyStr(1.5f, 8, 1), "000001.5");
    EXPECT_EQ(MyStr(123.5f, 8, 1), "123.5");
    EXPECT_EQ(MyStr(3.0f, 0, 0), "");
}

TEST(ExchangeMyStr, MoreDecimalsThanASixteenBitFactorFaults) {
    EXPECT_EQ(MyStr(1.0f, 7, 4), "1.0000");
    EXPECT_THROW(MyStr(1.0f, 8, 5), Fault);
}

// The field as the sign-position form of the rounded value gives it, before
// the width is applied: what MyStr writes for every value.
std::string signed_field(float rounded, int decimals) {
    std::string s = sign_form(rounded);
    if (s[0] == ' ') s.erase(0, 1);
    if (decimals < 1) return s;
    const std::size_t point = s.find('.');
    if (point == std::string::npos) return s + "." + std::string(static_cast<std::size_t>(decimals), '0');
    const std::size_t have = s.size() - point - 1;
    return have < static_cast<std::size_t>(decimals) ? s + std::string(decimals - have, '0') : s;
}

TEST(ExchangeMyStr, SameTextAsTheSignPositionFormOnBothSidesOfTenMillionUnits) {
    for (int n = 0; n <= 4; ++n) {
        float f = 1.0f;
        for (int i = 0; i < n; ++i) f *= 10.0f;
        for (const double first : {0.0, 9999000.0, 10000000.0, 123456789.0}) {
            for (double w = first; w < first + 2000.0; w += 1.0) {
                for (const double whole : {w, -w}) {
                    const float data = static_cast<float>(whole / f);
                    // Rounded as MyStr rounds: halves upward, in units of 10^-n.
                    const double units = std::floor(static_cast<double>(n < 1 ? data : f * data) + 0.5);
                    const std::string text = signed_field(static_cast<float>(units / f), n);
                    // A width of 20 keeps even the largest whole.
                    EXPECT_EQ(MyStr(data, 20, static_cast<int16_t>(n)),
                              std::string(text.size() < 5 ? 20 - text.size() : 0, '0') + text)
                        << whole << " units, " << n << " decimals";
                }
            }
        }
    }
}

TEST(ExchangeMyVal, ReadsTheZeroPaddedFields) {
    EXPECT_EQ(MyVal("0-3.2"), -3.2f);
    EXPECT_EQ(MyVal("0000"), 0.0f);
    EXPECT_EQ(MyVal(""), 0.0f);
    EXPECT_EQ(MyVal("0600"), 600.0f);
    EXPECT_EQ(MyVal("035.3"), 35.3f);
    EXPECT_EQ(MyVal("000.0"), 0.0f);
    EXPECT_EQ(MyVal("-.05"), -0.05f);
    EXPECT_EQ(MyVal("0.50"), 0.5f);
    EXPECT_EQ(MyVal(" 6"), 6.0f);
    EXPECT_EQ(MyVal("abc"), 0.0f);
    EXPECT_EQ(MyVal("1234."), 1234.0f);
}

TEST(ExchangeMyVal, ReadsBackEveryFieldMyStrWrites) {
    for (float v : {-99.9f, -3.2f, -0.1f, 0.0f, 0.1f, 7.5f, 35.3f, 327.6f})
        EXPECT_EQ(MyVal(MyStr(v, 5, 1)), v) << v;
    for (float v : {-0.05f, 0.0f, 0.05f, 1.5f, 9.99f}) EXPECT_EQ(MyVal(MyStr(v, 4, 2)), v) << v;
    for (float v : {0.0f, 5.0f, 380.0f, 1310.0f}) EXPECT_EQ(MyVal(MyStr(v, 4, 0)), v) << v;
}

TEST(ExchangeDate, TestTimeToDateLineDropsLeadingZeros) {
    EXPECT_EQ(exchange_date_line("200501050930"), "2005-1-5");
    EXPECT_EQ(exchange_date_line("200511250930"), "2005-11-25");
    EXPECT_EQ(exchange_date_line("200506181230"), "2005-6-18");
    EXPECT_EQ(exchange_date_line("200510100000"), "2005-10-10");
    EXPECT_EQ(exchange_date_line(""), "--");
}

TEST(ExchangeDate, DateLineToTestTime) {
    EXPECT_EQ(test_time_of_date_line("2005-11-5"), "20051105");
    EXPECT_EQ(test_time_of_date_line("2005-1-25"), "20050125");
    EXPECT_EQ(test_time_of_date_line("2005-6-18"), "20050618");
    EXPECT_EQ(test_time_of_date_line("2005-1-5"), "20050105");
    EXPECT_EQ(test_time_of_date_line("2005-11-25"), "20051125");
    // Without a second "-" the month is one character and the day the rest.
    EXPECT_EQ(test_time_of_date_line("2005-10"), "20050110");
    EXPECT_EQ(test_time_of_date_line("20050618"), std::nullopt);
}

}  // namespace
}  // namespace tavo
