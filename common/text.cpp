#include "common/text.h"

#include <array>
#include <cstdint>
#include <memory>

#include "common/gbk_table.h"

namespace tavo {
namespace {

void append_utf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | c >> 6));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | c >> 12));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// The code of each code point of the BMP (0: none); the decoding tables
// inverted once, on first use.
const std::array<std::uint16_t, 0x10000>& encoding() {
    static const std::unique_ptr<std::array<std::uint16_t, 0x10000>> table = [] {
        auto t = std::make_unique<std::array<std::uint16_t, 0x10000>>();
        t->fill(0);
        for (std::uint32_t i = 0; i < 128; ++i)
            if (gbk::kSingle[i]) (*t)[gbk::kSingle[i]] = static_cast<std::uint16_t>(0x80 + i);
        for (std::uint32_t i = 0; i < 126 * 191; ++i)
            if (gbk::kDouble[i])
                (*t)[gbk::kDouble[i]] = static_cast<std::uint16_t>((0x81 + i / 191) << 8 | (0x40 + i % 191));
        return t;
    }();
    return *table;
}

// The code point of the well-formed UTF-8 sequence of `n` bytes at `p`;
// -1 when it is not one (overlong, a surrogate, beyond U+10FFFF, a missing
// continuation byte).
long utf8_point(const unsigned char* p, std::size_t n) {
    for (std::size_t i = 1; i < n; ++i)
        if ((p[i] & 0xC0) != 0x80) return -1;
    long c = 0;
    switch (n) {
        case 2:
            c = (p[0] & 0x1FL) << 6 | (p[1] & 0x3F);
            return c >= 0x80 ? c : -1;
        case 3:
            c = (p[0] & 0x0FL) << 12 | (p[1] & 0x3FL) << 6 | (p[2] & 0x3F);
            return c >= 0x800 && (c < 0xD800 || c > 0xDFFF) ? c : -1;
        case 4:
            if (p[0] > 0xF4) return -1;
            c = (p[0] & 0x07L) << 18 | (p[1] & 0x3FL) << 12 | (p[2] & 0x3FL) << 6 | (p[3] & 0x3F);
            return c >= 0x10000 && c <= 0x10FFFF ? c : -1;
        default:
            return -1;
    }
}

// Length in bytes of the UTF-8 sequence starting with `c`.
std::size_t seq_len(unsigned char c) {
    if (c < 0x80) return 1;
    if (c >= 0xF0) return 4;
    if (c >= 0xE0) return 3;
    if (c >= 0xC0) return 2;
    return 1;  // stray continuation byte: one unit
}

// Byte offset of character `n` (or the end).
std::size_t offset_of(std::string_view s, std::size_t n) {
    std::size_t off = 0;
    while (n > 0 && off < s.size()) {
        off += seq_len(static_cast<unsigned char>(s[off]));
        --n;
    }
    return off < s.size() ? off : s.size();
}

}  // namespace

std::string gbk_to_utf8(std::string_view bytes) {
    // NUL is an ordinary character; a byte that starts no character becomes
    // U+FFFD and reading goes on with the next byte.
    std::string out;
    out.reserve(bytes.size() * 3 / 2 + 4);
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned lead = b[i];
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        if (lead >= 0x81 && lead <= 0xFE && i + 1 < n && b[i + 1] >= 0x40 && b[i + 1] <= 0xFE) {
            const std::uint16_t c = gbk::kDouble[(lead - 0x81) * 191 + (b[i + 1] - 0x40)];
            if (c) {
                append_utf8(out, c);
                i += 2;
                continue;
            }
        }
        const std::uint16_t c = gbk::kSingle[lead - 0x80];
        append_utf8(out, c ? c : 0xFFFD);
        ++i;
    }
    return out;
}

std::string utf8_to_gbk(std::string_view text) {
    // A character without a code, or bytes that are no character, become
    // "?"; a broken sequence is skipped as long as its first byte says.
    const auto& table = encoding();
    std::string out;
    out.reserve(text.size() + 4);
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        if (p[i] < 0x80) {
            out.push_back(static_cast<char>(p[i]));
            ++i;
            continue;
        }
        const std::size_t want = seq_len(p[i]);
        const std::size_t n = std::min(want, size - i);
        const long c = n == want ? utf8_point(p + i, n) : -1;  // cut short at the end: no character
        i += n;
        if (c >= 0xE0000 && c <= 0xE007F) continue;  // language tags carry no text
        const std::uint16_t code = c >= 0 && c <= 0xFFFF ? table[static_cast<std::size_t>(c)] : 0;
        if (code == 0) {
            out.push_back('?');
        } else if (code < 0x100) {
            out.push_back(static_cast<char>(code));
        } else {
            out.push_back(static_cast<char>(code >> 8));
            out.push_back(static_cast<char>(code & 0xFF));
        }
    }
    return out;
}

std::string gbk_field(std::string_view text, std::size_t width) {
    std::string out;
    out.reserve(width);
    std::size_t off = 0;
    while (off < text.size()) {
        const std::size_t n = std::min(seq_len(static_cast<unsigned char>(text[off])), text.size() - off);
        const std::string enc = utf8_to_gbk(text.substr(off, n));
        if (out.size() + enc.size() > width) break;  // never split a character
        out += enc;
        off += n;
    }
    out.append(width - out.size(), ' ');
    return out;
}

std::string MyTrim(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\0')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\0')) --e;
    return std::string(text.substr(b, e - b));
}

std::size_t char_count(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t off = 0; off < text.size(); off += seq_len(static_cast<unsigned char>(text[off]))) ++n;
    return n;
}

std::string left_chars(std::string_view text, std::size_t n) {
    return std::string(text.substr(0, offset_of(text, n)));
}

std::string right_chars(std::string_view text, std::size_t n) {
    const std::size_t count = char_count(text);
    return count <= n ? std::string(text) : mid_chars(text, count - n);
}

std::string mid_chars(std::string_view text, std::size_t start, std::size_t n) {
    const std::size_t b = offset_of(text, start);
    const std::string_view rest = text.substr(b);
    return n == std::string::npos ? std::string(rest) : std::string(rest.substr(0, offset_of(rest, n)));
}

}  // namespace tavo
