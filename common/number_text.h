// Number-to-text forms and leading-number reading.
//
// Digits: the exact binary value rounded to 7 significant digits (32-bit
// floats) or 15 (doubles), ties to even, trailing zeros removed, -0 printed
// as 0. The exponent form (1.5E+07, 1E-05) is used only when the decimal
// exponent is below -4 or at least the digit count.
#pragma once

#include <string>
#include <string_view>

namespace tavo {

// Sign-position form: a blank before a non-negative number, "-" before a
// negative one, no 0 before the decimal point (0.5 gives " .5").
std::string sign_form(float v);
std::string sign_form(double v);

// Printed form: the sign-position form followed by one blank (" .5 ").
std::string printed_form(float v);
std::string printed_form(double v);

// Plain form: no leading blank, a 0 before the point ("0.5", "-0.5").
std::string plain_form(float v);
std::string plain_form(double v);

// Integer as plain decimal text ("1", "-3").
std::string int_text(long v);

// Leading-number reading: every blank is removed first; then an optional
// sign, digits with an optional point and digits, or a point and digits; no
// exponent. The nearest double; 0 when the text does not start with one.
double leading_number(std::string_view text);

// Shortest text that reads back to the same 32-bit (64-bit) value; used by
// the machine-readable outputs of the command line, not by the legacy forms.
std::string shortest_text(float v);
std::string shortest_text(double v);

}  // namespace tavo
