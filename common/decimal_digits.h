// Decimal digits of binary floating-point values, computed exactly with
// integer arithmetic alone.
//
// The number forms use the standard library's floating-point to_chars where
// it has one; some C++ libraries (those of WebAssembly tool chains among
// them) have none. These functions give the same digits everywhere, and the
// tests hold them to to_chars on the desktop.
#pragma once

#include <charconv>
#include <string>
#include <string_view>

// Set where the standard library has floating-point to_chars/from_chars.
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
#define TAVO_STD_FLOAT_CHARS 1
#else
#define TAVO_STD_FLOAT_CHARS 0
#endif

namespace tavo {

// A finite value's magnitude as digits: value = 0.d1d2d3... * 10^point.
struct DecimalDigits {
    std::string digits;  // no leading zeros; empty for zero
    int point = 0;
};

// The exact value of |v| rounded to `count` significant digits, ties to
// even; trailing zeros kept (count digits, or empty for zero).
DecimalDigits rounded_digits(double v, int count);

// The fewest digits that read back to the same 64-bit (32-bit) value; of
// several such, the nearest to the value (ties to even).
DecimalDigits shortest_digits(double v);
DecimalDigits shortest_digits(float v);

// Text as to_chars writes it without a format: fixed or scientific
// ("1e+20"), whichever is shorter, fixed on a tie; "-" before negatives
// (also -0), "inf", "nan".
std::string shortest_chars(double v);
std::string shortest_chars(float v);

// Text as to_chars writes it with chars_format::fixed and a precision: the
// exact value rounded to `decimals` places, ties to even.
std::string fixed_chars(double v, int decimals);

// The nearest double to a plain decimal number (digits with an optional
// point), as from_chars reads it.
double read_decimal(std::string_view text);

}  // namespace tavo
