#include "common/number_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace tavo {
namespace {

TEST(SignForm, BlankOrMinusAndNoLeadingZero) {
    EXPECT_EQ(sign_form(0.5f), " .5");
    EXPECT_EQ(sign_form(-0.5f), "-.5");
    EXPECT_EQ(sign_form(1.523f), " 1.523");
    EXPECT_EQ(sign_form(0.0f), " 0");
    EXPECT_EQ(sign_form(-0.0f), " 0");
    EXPECT_EQ(sign_form(6.25), " 6.25");
    EXPECT_EQ(sign_form(0.05f), " .05");
}

TEST(SignForm, SevenDigitsForFloatsFifteenForDoubles) {
    EXPECT_EQ(sign_form(12.34f), " 12.34");  // 12.3400002 as a float
    EXPECT_EQ(sign_form(0.1f), " .1");       // 0.100000001
    EXPECT_EQ(sign_form(static_cast<double>(0.1f)), " .100000001490116");
    EXPECT_EQ(sign_form(1234567.5f), " 1234568");  // ties to even on the exact value
    EXPECT_EQ(sign_form(1.0 / 3.0), " .333333333333333");
}

TEST(SignForm, ExponentOnlyOutsideTheDigitRange) {
    EXPECT_EQ(sign_form(15000000.0f), " 1.5E+07");
    EXPECT_EQ(sign_form(9999999.0f), " 9999999");
    EXPECT_EQ(sign_form(0.00001f), " 1E-05");
    EXPECT_EQ(sign_form(0.0001f), " .0001");
    EXPECT_EQ(sign_form(1e15), " 1E+15");
    EXPECT_EQ(sign_form(-123456789012345.0), "-123456789012345");
}

TEST(PlainAndPrintedForms, DifferOnlyInBlanksAndLeadingZero) {
    EXPECT_EQ(plain_form(0.5f), "0.5");
    EXPECT_EQ(plain_form(-0.5f), "-0.5");
    EXPECT_EQ(plain_form(5.67f), "5.67");
    EXPECT_EQ(plain_form(0.0), "0");
    EXPECT_EQ(printed_form(45.0f), " 45 ");
    EXPECT_EQ(printed_form(-10.0f), "-10 ");
    EXPECT_EQ(printed_form(0.85), " .85 ");
}

TEST(LeadingNumber, BlanksIgnoredLongestNumberZeroWhenNone) {
    EXPECT_EQ(leading_number("  12.5abc"), 12.5);
    EXPECT_EQ(leading_number("1 2 3"), 123.0);
    EXPECT_EQ(leading_number("-3.2"), -3.2);
    EXPECT_EQ(leading_number(".5"), 0.5);
    EXPECT_EQ(leading_number("7."), 7.0);
    EXPECT_EQ(leading_number("abc"), 0.0);
    EXPECT_EQ(leading_number(""), 0.0);
    EXPECT_EQ(leading_number("-"), 0.0);
    EXPECT_EQ(leading_number("1e5"), 1.0);  // no exponent
    EXPECT_EQ(leading_number("+4"), 4.0);
}

}  // namespace
}  // namespace tavo
