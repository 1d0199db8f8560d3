// Legacy number semantics: integer conversions and roundings.
//
// Counts, indices and stored words are 16-bit signed integers. Converting to
// an integer rounds to the nearest, halves to even, and fails when the result
// does not fit; the other roundings are named explicitly where they are used.
#pragma once

#include <cstdint>

namespace tavo {

// Nearest integer, halves to even, as a double (no range check).
double round_half_even(double x);

// ⌊x⌋ and ⌊x + 0.5⌋ (halves upward, also for negative values).
double floor_down(double x);
double floor_half_up(double x);

// Conversion to a 16-bit signed integer: halves to even; a value that does
// not fit (or is not a number) raises an Overflow fault.
int16_t to_i16(double x);

// The same conversion for a value that is already an integer, checked.
int16_t fit_i16(long x);

// Conversion to a 16-bit word that cannot fail: halves to even, then
// saturated at the nearest end of the range (NaN gives 0). Used where a word
// must be written and the file format has no other choice.
int16_t to_i16_saturated(double x);

// The voltage word: round the product (halves to even), then store a word
// above 32767 as its two's-complement pattern (value - 65536). Values outside
// 0..65535 saturate at the ends of that range.
int16_t voltage_word(float scaled);

// The roundings of the calculations, in double precision:
// R1 = ⌊10x + 0.5⌋/10, R2 = ⌊100x + 0.5⌋/100, R3 = ⌊1000x + 0.5⌋/1000.
double R1(double x);
double R2(double x);
double R3(double x);

}  // namespace tavo
