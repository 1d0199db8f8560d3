// The program's code page 936 codec against glibc's iconv, which the
// desktop used before: the same text for every code, every code point and
// random damage.
#include <errno.h>
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <random>
#include <string>

#include "common/text.h"

namespace tavo {
namespace {

// iconv over all of `in`; a unit that does not convert becomes `bad` and is
// skipped (one byte, or as many as a UTF-8 first byte announces).
std::string iconv_run(const char* to, const char* from, std::string in, const std::string& bad,
                      bool utf8_input) {
    iconv_t cd = iconv_open(to, from);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));  // NOLINT(performance-no-int-to-ptr)
    std::string out;
    char* src = in.data();
    std::size_t left = in.size();
    char buf[256];
    while (left > 0) {
        char* dst = buf;
        std::size_t room = sizeof buf;
        const std::size_t rc = iconv(cd, &src, &left, &dst, &room);
        out.append(buf, static_cast<std::size_t>(dst - buf));
        if (rc != static_cast<std::size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        out += bad;
        std::size_t n = 1;
        if (utf8_input) {
            const auto c = static_cast<unsigned char>(*src);
            n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            if (n > left) n = left;
        }
        src += n;
        left -= n;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

std::string iconv_decode(const std::string& bytes) {
    return iconv_run("UTF-8", "CP936", bytes, "\xEF\xBF\xBD", false);
}
std::string iconv_encode(const std::string& text) {
    return iconv_run("CP936", "UTF-8", text, "?", true);
}

std::string utf8_of(std::uint32_t c) {
    std::string s;
    if (c < 0x80) {
        s.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        s += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
        s += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
              static_cast<char>(0x80 | (c & 0x3F))};
    } else {
        s += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
              static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
    return s;
}

std::string hex_of(const std::string& s) {
    std::string out;
    for (const char c : s) out += std::to_string(static_cast<unsigned char>(c)) + " ";
    return out;
}

TEST(GbkCodec, DecodesEveryByteAndPairAsIconv) {
    // Each pair alone and between ASCII letters: a lead byte without a valid
    // trail must not swallow the next character.
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
            const std::string pair{static_cast<char>(a), static_cast<char>(b)};
            ASSERT_EQ(gbk_to_utf8(pair), iconv_decode(pair)) << a << " " << b;
            const std::string framed = "A" + pair + "\x81";
            ASSERT_EQ(gbk_to_utf8(framed), iconv_decode(framed)) << a << " " << b;
        }
    EXPECT_EQ(gbk_to_utf8("\x80"), "\xE2\x82\xAC");                          // the euro sign, one byte
    EXPECT_EQ(gbk_to_utf8("\xAA\xA1"), "\xEF\xBF\xBD\xEF\xBF\xBD");          // the user-defined area
    EXPECT_EQ(gbk_to_utf8(std::string("a\0b", 3)), std::string("a\0b", 3));  // NULs stay
}

TEST(GbkCodec, EncodesEveryCodePointAsIconv) {
    for (std::uint32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const std::string t = utf8_of(c) + "x";
        ASSERT_EQ(utf8_to_gbk(t), iconv_encode(t)) << std::hex << c;
    }
    EXPECT_EQ(utf8_to_gbk("\xE2\x82\xAC"), "\x80");
    EXPECT_EQ(utf8_to_gbk("\xEE\x80\x80"), "?");  // private use: no code
}

TEST(GbkCodec, DamagedTextAsIconv) {
    // Random bytes biased towards UTF-8 and code page 936 structure.
    std::mt19937 rng(936);
    const unsigned char pool[] = {0x00, 0x41, 0x7F, 0x80, 0x81, 0xA1, 0xB0, 0xBF, 0xC0, 0xC1, 0xC3, 0xD5,
                                  0xDF, 0xE0, 0xE4, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xF8, 0xFE, 0xFF, 0x40};
    for (int round = 0; round < 200000; ++round) {
        std::string s;
        const int len = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < len; ++i)
            s.push_back(static_cast<char>(rng() % 2 ? pool[rng() % sizeof pool] : rng() % 256));
        ASSERT_EQ(utf8_to_gbk(s), iconv_encode(s)) << hex_of(s);
        ASSERT_EQ(gbk_to_utf8(s), iconv_decode(s)) << hex_of(s);
    }
}

}  // namespace
}  // namespace tavo
