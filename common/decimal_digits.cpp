#include "common/decimal_digits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace tavo {
namespace {

// An unsigned integer of up to 40 32-bit words: enough for every ratio a
// double's digits need (the smallest subnormal scaled by 10^324 is about
// 2^1131).
class Big {
public:
    explicit Big(std::uint64_t v = 0) {
        w_[0] = static_cast<std::uint32_t>(v);
        w_[1] = static_cast<std::uint32_t>(v >> 32);
        n_ = w_[1] ? 2 : (w_[0] ? 1 : 0);
    }

    void shift_left(int bits) {
        if (n_ == 0 || bits == 0) return;
        const int words = bits / 32;
        const int rest = bits % 32;
        if (rest == 0) {
            for (int i = n_ - 1; i >= 0; --i) w_[i + words] = w_[i];
        } else {
            w_[n_ + words] = 0;
            for (int i = n_ - 1; i >= 0; --i) {
                w_[i + words + 1] |= w_[i] >> (32 - rest);
                w_[i + words] = w_[i] << rest;
            }
        }
        for (int i = 0; i < words; ++i) w_[i] = 0;
        n_ += words + 1;
        trim();
    }

    void multiply(std::uint32_t m) {
        std::uint64_t carry = 0;
        for (int i = 0; i < n_; ++i) {
            const std::uint64_t p = static_cast<std::uint64_t>(w_[i]) * m + carry;
            w_[i] = static_cast<std::uint32_t>(p);
            carry = p >> 32;
        }
        if (carry) w_[n_++] = static_cast<std::uint32_t>(carry);
    }

    void multiply_pow10(int n) {
        static constexpr std::array<std::uint32_t, 10> kPow = {
            1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
        for (; n >= 9; n -= 9) multiply(kPow[9]);
        if (n > 0) multiply(kPow[static_cast<std::size_t>(n)]);
    }

    void add(const Big& b) {
        std::uint64_t carry = 0;
        const int n = std::max(n_, b.n_);
        for (int i = 0; i < n; ++i) {
            const std::uint64_t s =
                static_cast<std::uint64_t>(i < n_ ? w_[i] : 0) + (i < b.n_ ? b.w_[i] : 0) + carry;
            w_[i] = static_cast<std::uint32_t>(s);
            carry = s >> 32;
        }
        n_ = n;
        if (carry) w_[n_++] = static_cast<std::uint32_t>(carry);
    }

    // *this -= b; requires *this >= b.
    void subtract(const Big& b) {
        std::int64_t borrow = 0;
        for (int i = 0; i < n_; ++i) {
            std::int64_t d = static_cast<std::int64_t>(w_[i]) - (i < b.n_ ? b.w_[i] : 0) - borrow;
            borrow = d < 0 ? 1 : 0;
            if (d < 0) d += static_cast<std::int64_t>(1) << 32;
            w_[i] = static_cast<std::uint32_t>(d);
        }
        trim();
    }

    friend int compare(const Big& a, const Big& b) {
        if (a.n_ != b.n_) return a.n_ < b.n_ ? -1 : 1;
        for (int i = a.n_ - 1; i >= 0; --i)
            if (a.w_[i] != b.w_[i]) return a.w_[i] < b.w_[i] ? -1 : 1;
        return 0;
    }

    // Compares a + b with c.
    friend int compare_sum(const Big& a, const Big& b, const Big& c) {
        Big s = a;
        s.add(b);
        return compare(s, c);
    }

    // Compares 2a with b.
    friend int compare_double(const Big& a, const Big& b) {
        Big d = a;
        d.shift_left(1);
        return compare(d, b);
    }

    // *this = *this mod d; returns the quotient, which the callers keep
    // below 10.
    int divide_small(const Big& d) {
        int q = 0;
        while (compare(*this, d) >= 0) {
            subtract(d);
            ++q;
        }
        return q;
    }

    [[nodiscard]] bool zero() const { return n_ == 0; }
    [[nodiscard]] static bool over() { return false; }

private:
    void trim() {
        while (n_ > 0 && w_[n_ - 1] == 0) --n_;
    }

    std::array<std::uint32_t, 42> w_{};
    int n_ = 0;
};

// The same operations on one machine integer: the fast ways for the values
// of everyday size (64 bits for most floats, 128 for most doubles). Every
// value is kept below 2^Bits until the digits are generated, where the
// callers' bounds (r < s, the interval below 10 s) keep them below
// 2^(Bits+4); past 2^Bits over() is set and the caller starts again with a
// wider type.
__extension__ using Wide = unsigned __int128;

template <class U, int Bits>
class Fixed {
public:
    explicit Fixed(std::uint64_t v = 0) : v_(v) {}

    void shift_left(int bits) {
        if (v_ == 0 || bits == 0) return;
        if (bits >= Bits || (v_ >> (Bits - bits)) != 0) {
            over_ = true;
            return;
        }
        v_ <<= bits;
    }
    // m <= 10: from below 2^Bits nothing wraps. Past 2^Bits the value is
    // still computed (the digit loops go up to 10 s) but marked.
    void multiply(std::uint32_t m) {
        v_ *= m;
        check();
    }
    void multiply_pow10(int n) {
        for (; n > 0 && !over_; --n) multiply(10);
    }
    void add(const Fixed& b) {
        over_ = over_ || b.over_;
        v_ += b.v_;
        check();
    }
    void subtract(const Fixed& b) { v_ -= b.v_; }

    friend int compare(const Fixed& a, const Fixed& b) { return a.v_ < b.v_ ? -1 : a.v_ > b.v_ ? 1 : 0; }
    friend int compare_sum(const Fixed& a, const Fixed& b, const Fixed& c) {
        const U s = a.v_ + b.v_;
        return s < c.v_ ? -1 : s > c.v_ ? 1 : 0;
    }
    friend int compare_double(const Fixed& a, const Fixed& b) {
        const U d = a.v_ << 1;
        return d < b.v_ ? -1 : d > b.v_ ? 1 : 0;
    }
    int divide_small(const Fixed& d) {
        if constexpr (sizeof(U) <= 8) {
            const U q = v_ / d.v_;
            v_ -= q * d.v_;
            return static_cast<int>(q);
        } else {
            int q = 0;
            while (v_ >= d.v_) {
                v_ -= d.v_;
                ++q;
            }
            return q;
        }
    }
    [[nodiscard]] bool over() const { return over_; }

private:
    void check() {
        if (v_ >> Bits) over_ = true;
    }
    U v_;
    bool over_ = false;
};

using Narrow = Fixed<std::uint64_t, 59>;
using Small = Fixed<Wide, 123>;

// A finite positive value as f * 2^e with its format's limits.
struct Binary {
    std::uint64_t f = 0;
    int e = 0;
    std::uint64_t hidden = 0;  // the lowest normal significand
    int min_e = 0;             // the exponent of the subnormals
};

Binary binary_of(double v) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    const std::uint64_t frac = bits & ((std::uint64_t{1} << 52) - 1);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    Binary b;
    b.hidden = std::uint64_t{1} << 52;
    b.min_e = -1074;
    b.f = biased == 0 ? frac : frac | b.hidden;
    b.e = biased == 0 ? b.min_e : biased - 1075;
    return b;
}

Binary binary_of(float v) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    const std::uint32_t frac = bits & ((1U << 23) - 1);
    const int biased = static_cast<int>((bits >> 23) & 0xFF);
    Binary b;
    b.hidden = std::uint64_t{1} << 23;
    b.min_e = -149;
    b.f = biased == 0 ? frac : frac | b.hidden;
    b.e = biased == 0 ? b.min_e : biased - 150;
    return b;
}

int bit_length(std::uint64_t f) {
    int n = 0;
    for (; f; f >>= 1) ++n;
    return n;
}

// The decimal exponent k with 10^(k-1) <= f*2^e, or one less.
int estimate_point(const Binary& b) {
    const int top = b.e + bit_length(b.f) - 1;  // 2^top <= value < 2^(top+1)
    return static_cast<int>(std::floor(top * 0.30102999566398119521)) + 1;
}

// Divides r/s by 10^k (k may be negative).
template <class Num>
void scale(Num& r, Num& s, int k, Num* mp = nullptr, Num* mm = nullptr) {
    if (k >= 0) {
        s.multiply_pow10(k);
    } else {
        r.multiply_pow10(-k);
        if (mp) mp->multiply_pow10(-k);
        if (mm) mm->multiply_pow10(-k);
    }
}

// Adds one to the last digit, carrying; a carry out of the first digit
// gives "1" and one more place before the point.
void round_up(DecimalDigits& d) {
    std::size_t i = d.digits.size();
    while (i > 0) {
        --i;
        if (d.digits[i] != '9') {
            ++d.digits[i];
            return;
        }
        d.digits[i] = '0';
    }
    d.digits.insert(d.digits.begin(), '1');
    d.digits.pop_back();
    ++d.point;
}

// The digits of r/s * 10^point through the place 10^last, rounded there,
// ties to even.
template <class Num>
DecimalDigits digits_through(Num r, const Num& s, int point, int last) {
    // Here 0.1 <= r/s < 1.
    DecimalDigits d;
    const int count = point - last;
    if (count < 0) return d;
    if (count == 0) {
        // Only the rounding of 0.d1... to 0 or 1 of the place 10^last.
        if (compare_double(r, s) > 0) d = {"1", point + 1};
        return d;
    }
    d.point = point;
    d.digits.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        r.multiply(10);
        d.digits.push_back(static_cast<char>('0' + r.divide_small(s)));
    }
    const int half = compare_double(r, s);
    if (half > 0 || (half == 0 && (d.digits.back() - '0') % 2 == 1)) round_up(d);
    return d;
}

// The exact value as r/s with 0.1 <= r/s < 1 and its decimal point.
template <class Num>
int exact_ratio(const Binary& b, Num& r, Num& s) {
    r = Num(b.f);
    s = Num(1);
    if (b.e >= 0)
        r.shift_left(b.e);
    else
        s.shift_left(-b.e);
    int k = estimate_point(b);
    scale(r, s, k);
    if (!s.over() && !r.over() && compare(r, s) >= 0) {
        s.multiply(10);
        ++k;
    }
    return k;
}

DecimalDigits rounded(const Binary& b, int count) {
    if (b.f == 0 || count <= 0) return {};
    Narrow nr, ns;
    const int nk = exact_ratio(b, nr, ns);
    if (!nr.over() && !ns.over()) return digits_through(nr, ns, nk, nk - count);
    Small sr, ss;
    const int sk = exact_ratio(b, sr, ss);
    if (!sr.over() && !ss.over()) return digits_through(sr, ss, sk, sk - count);
    Big r, s;
    const int k = exact_ratio(b, r, s);
    return digits_through(r, s, k, k - count);
}

// Free-format digit generation: the first digits at which the value's
// rounding interval holds a number, the nearer of the two candidates there.
template <class Num>
std::optional<DecimalDigits> shortest_with(const Binary& b) {
    // The interval's ends sit half a gap from the value; everything is
    // doubled to keep the halves whole. Below a power of two the gap is half
    // as wide.
    const bool narrow_below = b.f == b.hidden && b.e > b.min_e;
    Num r(b.f), s(1), mp(1), mm(1);
    if (b.e >= 0) {
        r.shift_left(b.e + (narrow_below ? 2 : 1));
        s = Num(narrow_below ? 4 : 2);
        mp.shift_left(b.e + (narrow_below ? 1 : 0));
        mm.shift_left(b.e);
    } else {
        r.shift_left(narrow_below ? 2 : 1);
        s.shift_left(-b.e + (narrow_below ? 2 : 1));
        mp = Num(narrow_below ? 2 : 1);
    }
    // Round-to-even reading: an even significand owns its interval's ends.
    const bool ends_inside = b.f % 2 == 0;
    int k = estimate_point(b);
    scale(r, s, k, &mp, &mm);
    while (!s.over() && !r.over() && !mp.over() && compare_sum(r, mp, s) >= (ends_inside ? 0 : 1)) {
        s.multiply(10);
        ++k;
    }
    if (r.over() || s.over() || mp.over() || mm.over()) return std::nullopt;
    DecimalDigits d;
    d.point = k;
    for (;;) {
        r.multiply(10);
        mp.multiply(10);
        mm.multiply(10);
        const int digit = r.divide_small(s);
        const int low_cmp = compare(r, mm);
        const bool low = ends_inside ? low_cmp <= 0 : low_cmp < 0;
        const int high_cmp = compare_sum(r, mp, s);
        const bool high = ends_inside ? high_cmp >= 0 : high_cmp > 0;
        d.digits.push_back(static_cast<char>('0' + digit));
        if (!low && !high) continue;
        bool up = high;
        if (low && high) {
            const int half = compare_double(r, s);
            up = half > 0 || (half == 0 && digit % 2 == 1);
        }
        if (up) round_up(d);
        break;
    }
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

DecimalDigits shortest(const Binary& b) {
    if (b.f == 0) return {};
    if (auto d = shortest_with<Narrow>(b)) return *std::move(d);
    if (auto d = shortest_with<Small>(b)) return *std::move(d);
    return *shortest_with<Big>(b);
}

// Appends "e+05", "e-300": at least two digits.
char* put_exponent(char* p, int e) {
    *p++ = 'e';
    *p++ = e < 0 ? '-' : '+';
    const int a = std::abs(e);
    if (a >= 100) *p++ = static_cast<char>('0' + a / 100);
    *p++ = static_cast<char>('0' + a / 10 % 10);
    *p++ = static_cast<char>('0' + a % 10);
    return p;
}

template <typename F>
std::string shortest_chars_of(F v) {
    // Written into one buffer: this runs for every number of the long
    // machine-readable outputs.
    char buf[400];
    char* p = buf;
    if (std::signbit(v)) *p++ = '-';
    if (std::isnan(v) || std::isinf(v) || v == 0) {
        const char* word = std::isnan(v) ? "nan" : std::isinf(v) ? "inf" : "0";
        return std::string(buf, p) + word;
    }
    const Binary b = binary_of(std::fabs(v));
    const DecimalDigits d = shortest(b);
    const std::string& digits = d.digits;
    const int n = static_cast<int>(digits.size());
    const int e = d.point - 1;  // scientific exponent
    const int a = std::abs(e);
    const int sci_len = n + (n > 1 ? 1 : 0) + 2 + (a >= 100 ? 3 : 2);
    const int fixed_len = e >= 0 ? (n <= e + 1 ? e + 1 : n + 1) : 2 + (-e - 1) + n;
    if (fixed_len > sci_len) {
        *p++ = digits[0];
        if (n > 1) {
            *p++ = '.';
            p = std::copy(digits.begin() + 1, digits.end(), p);
        }
        p = put_exponent(p, e);
    } else if (e >= 0 && n <= e + 1) {
        // An integer: all its digits, exactly.
        const DecimalDigits all = rounded(b, e + 1);
        p = std::copy(all.digits.begin(), all.digits.end(), p);
    } else if (e >= 0) {
        p = std::copy(digits.begin(), digits.begin() + e + 1, p);
        *p++ = '.';
        p = std::copy(digits.begin() + e + 1, digits.end(), p);
    } else {
        *p++ = '0';
        *p++ = '.';
        p = std::fill_n(p, -e - 1, '0');
        p = std::copy(digits.begin(), digits.end(), p);
    }
    return std::string(buf, p);
}

}  // namespace

DecimalDigits rounded_digits(double v, int count) {
    if (!std::isfinite(v)) return {};
    return rounded(binary_of(std::fabs(v)), count);
}

DecimalDigits shortest_digits(double v) {
    if (!std::isfinite(v)) return {};
    return shortest(binary_of(std::fabs(v)));
}

DecimalDigits shortest_digits(float v) {
    if (!std::isfinite(v)) return {};
    return shortest(binary_of(std::fabs(v)));
}

std::string shortest_chars(double v) {
    return shortest_chars_of(v);
}

std::string shortest_chars(float v) {
    return shortest_chars_of(v);
}

std::string fixed_chars(double v, int decimals) {
    std::string out = std::signbit(v) ? "-" : "";
    if (std::isnan(v)) return out + "nan";
    if (std::isinf(v)) return out + "inf";
    DecimalDigits d;
    const Binary b = binary_of(std::fabs(v));
    if (b.f != 0) {
        Small sr, ss;
        const int sk = exact_ratio(b, sr, ss);
        if (!sr.over() && !ss.over()) {
            d = digits_through(sr, ss, sk, -decimals);
        } else {
            Big r, s;
            const int k = exact_ratio(b, r, s);
            d = digits_through(r, s, k, -decimals);
        }
    }
    // Integer part, then the decimals, zero-filled on both sides.
    const int n = static_cast<int>(d.digits.size());
    if (d.point <= 0 || n == 0) {
        out += "0";
    } else {
        out += d.digits.substr(0, static_cast<std::size_t>(std::min(d.point, n)));
        if (d.point > n) out.append(static_cast<std::size_t>(d.point - n), '0');
    }
    if (decimals > 0) {
        out.push_back('.');
        for (int place = -1; place >= -decimals; --place) {
            const int at = d.point - place - 1;  // index of the digit of 10^place
            out.push_back(at >= 0 && at < n ? d.digits[static_cast<std::size_t>(at)] : '0');
        }
    }
    return out;
}

double read_decimal(std::string_view text) {
    // strtod reads correctly rounded; the programs that use this path run in
    // the "C" locale, whose decimal point is '.'.
    const std::string s(text);
    return std::strtod(s.c_str(), nullptr);
}

}  // namespace tavo
