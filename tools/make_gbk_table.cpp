// Writes common/gbk_table.cpp, the code page 936 tables of the program's own
// codec, from this machine's iconv (glibc): every double-byte code it decodes
// and checks that every code point it encodes is encoded as it decodes. Run it after a change of C library
// and review the diff; tests/core/gbk_codec_test.cpp holds the codec to iconv.
//   build/make_gbk_table > common/gbk_table.cpp
#include <errno.h>
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Converts all of `in`; false when iconv stops before its end.
bool convert(iconv_t cd, std::string in, std::string& out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char buf[16];
    char* src = in.data();
    std::size_t left = in.size();
    char* dst = buf;
    std::size_t room = sizeof buf;
    const std::size_t rc = iconv(cd, &src, &left, &dst, &room);
    out.assign(buf, static_cast<std::size_t>(dst - buf));
    return rc != static_cast<std::size_t>(-1) && left == 0;
}

std::uint32_t decode_utf8(const std::string& s) {
    const auto b = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(s[i]));
    };
    if (s.size() == 1) return b(0);
    if (s.size() == 2) return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
    if (s.size() == 3) return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
    return (b(0) & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F);
}

std::string encode_utf8(std::uint32_t c) {
    std::string s;
    if (c < 0x80) {
        s.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        s.push_back(static_cast<char>(0xC0 | c >> 6));
        s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        s.push_back(static_cast<char>(0xE0 | c >> 12));
        s.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        s.push_back(static_cast<char>(0xF0 | c >> 18));
        s.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
        s.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
    return s;
}

}  // namespace

int main() {
    iconv_t dec = iconv_open("UTF-8", "CP936");
    iconv_t enc = iconv_open("CP936", "UTF-8");
    if (dec == reinterpret_cast<iconv_t>(-1) || enc == reinterpret_cast<iconv_t>(-1)) {  // NOLINT
        std::fprintf(stderr, "make_gbk_table: iconv has no code page 936\n");
        return 1;
    }
    std::string out;
    // Single bytes above ASCII.
    std::vector<std::uint32_t> single(128, 0);
    for (int b = 0x80; b <= 0xFF; ++b)
        if (convert(dec, std::string(1, static_cast<char>(b)), out))
            single[static_cast<std::size_t>(b - 0x80)] = decode_utf8(out);
    // Double bytes: lead 0x81-0xFE, trail 0x40-0xFE; no other pair decodes.
    std::vector<std::uint32_t> dbl(126 * 191, 0);
    for (int lead = 0x80; lead <= 0xFF; ++lead)
        for (int trail = 0; trail <= 0xFF; ++trail) {
            std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            if (!convert(dec, pair, out) || decode_utf8(out) < 0x80 || out.size() < 2) continue;
            // A pair that decodes to one character beyond ASCII.
            if (single[static_cast<std::size_t>(lead - 0x80)] != 0)
                continue;  // the lead is a character itself
            if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE) {
                std::fprintf(stderr, "make_gbk_table: unexpected pair %02X %02X\n", lead, trail);
                return 1;
            }
            const std::uint32_t c = decode_utf8(out);
            if (c > 0xFFFF) {
                std::fprintf(stderr, "make_gbk_table: pair %02X %02X beyond the BMP\n", lead, trail);
                return 1;
            }
            dbl[static_cast<std::size_t>((lead - 0x81) * 191 + (trail - 0x40))] = c;
        }
    // Every code point that encodes must encode to the code that decodes to
    // it (the codec inverts the decoding table), and no other may encode.
    std::vector<std::uint32_t> inverse(0x10000, 0);
    for (std::size_t i = 0; i < single.size(); ++i)
        if (single[i]) inverse[single[i]] = static_cast<std::uint32_t>(0x80 + i);
    for (std::size_t i = 0; i < dbl.size(); ++i)
        if (dbl[i]) inverse[dbl[i]] = static_cast<std::uint32_t>((0x81 + i / 191) << 8 | (0x40 + i % 191));
    for (std::uint32_t c = 0x80; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const bool encodes = convert(enc, encode_utf8(c), out);
        if (encodes && out.empty() && c >= 0xE0000 && c <= 0xE007F) continue;  // language tags: dropped
        std::uint32_t code = 0;
        for (const char ch : out) code = code << 8 | static_cast<unsigned char>(ch);
        const std::uint32_t want = c <= 0xFFFF ? inverse[c] : 0;
        if (encodes != (want != 0) || (encodes && code != want)) {
            std::fprintf(stderr, "make_gbk_table: U+%X does not encode as it decodes\n", c);
            return 1;
        }
    }
    std::printf(
        "// Code page 936 tables written by tools/make_gbk_table.cpp from glibc's\n"
        "// iconv; do not edit.\n"
        "// clang-format off\n"
        "#include \"common/gbk_table.h\"\n\n"
        "namespace tavo::gbk {\n\n"
        "const std::uint16_t kSingle[128] = {");
    for (std::size_t i = 0; i < single.size(); ++i)
        std::printf("%s0x%04X,", i % 12 ? " " : "\n    ", single[i]);
    std::printf("\n};\n\nconst std::uint16_t kDouble[126 * 191] = {");
    for (std::size_t i = 0; i < dbl.size(); ++i) std::printf("%s0x%X,", i % 16 ? " " : "\n    ", dbl[i]);
    std::printf("\n};\n\n}  // namespace tavo::gbk\n// clang-format on\n");
    iconv_close(dec);
    iconv_close(enc);
    return 0;
}
