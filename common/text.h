// Text helpers: code page 936 and character-wise operations on UTF-8.
//
// In memory every text is UTF-8. The tester file and the exchange text hold
// code page 936 (GBK); the program converts with tables of its own
// (common/gbk_table.cpp), the same on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavo {

// Decodes code page 936 bytes. NULs stay; bytes that do not decode become
// U+FFFD.
std::string gbk_to_utf8(std::string_view bytes);

// Encodes UTF-8 text to code page 936; characters without a code become "?".
std::string utf8_to_gbk(std::string_view text);

// A fixed-width field: the text encoded, left-aligned, padded with blanks to
// `width` bytes; longer text is cut, never inside a double-byte character
// (a character that would be split is dropped and a blank put in its place).
std::string gbk_field(std::string_view text, std::size_t width);

// Removes leading and trailing blanks (code 32) and NULs (code 0).
std::string MyTrim(std::string_view text);

// Character-wise operations (characters are code points).
std::size_t char_count(std::string_view text);
std::string left_chars(std::string_view text, std::size_t n);
std::string right_chars(std::string_view text, std::size_t n);
// Characters from `start` (0-based) on, at most n of them.
std::string mid_chars(std::string_view text, std::size_t start, std::size_t n = std::string::npos);

}  // namespace tavo
