#include "common/text.h"

#include <errno.h>
#include <iconv.h>

#include <mutex>
#include <stdexcept>

namespace tavo {
namespace {

// iconv_open's failure value, (iconv_t)-1.
iconv_t no_converter() {
    return reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr): iconv's value, no address
}

// One converter per direction and thread; iconv descriptors hold state.
class Converter {
public:
    Converter(const char* to, const char* from) {
        cd_ = iconv_open(to, from);
        if (cd_ == no_converter()) throw std::runtime_error("iconv cannot convert to code page 936");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of `in`; an input unit that does not convert is replaced by
    // `bad` and skipped (`skip` bytes, or one UTF-8 sequence).
    std::string run(std::string_view in, std::string_view bad, bool utf8_input) {
        std::string out;
        out.reserve(in.size() * 2 + 4);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t left = in.size();
        char buf[256];
        while (left > 0) {
            char* dst = buf;
            std::size_t room = sizeof buf;
            const std::size_t rc = iconv(cd_, &src, &left, &dst, &room);
            out.append(buf, static_cast<std::size_t>(dst - buf));
            if (rc == static_cast<std::size_t>(-1)) {
                if (errno == E2BIG) continue;
                // EILSEQ or EINVAL (truncated sequence): replace one unit.
                out.append(bad);
                std::size_t n = 1;
                if (utf8_input) {
                    const unsigned char c = static_cast<unsigned char>(*src);
                    n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
                    if (n > left) n = left;
                }
                src += n;
                left -= n;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t cd_;
};

const char* gbk_name() {
    static const char* name = [] {
        iconv_t t = iconv_open("UTF-8", "CP936");
        if (t != no_converter()) {
            iconv_close(t);
            return "CP936";
        }
        return "GBK";
    }();
    return name;
}

Converter& decoder() {
    thread_local Converter c("UTF-8", gbk_name());
    return c;
}
Converter& encoder() {
    thread_local Converter c(gbk_name(), "UTF-8");
    return c;
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
    // The decoder treats NUL as an ordinary character.
    return decoder().run(bytes, "\xEF\xBF\xBD", false);
}

std::string utf8_to_gbk(std::string_view text) {
    return encoder().run(text, "?", true);
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
