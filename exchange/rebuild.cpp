// Rebuilding one tester file from a block of the exchange text.
#include <array>
#include <cmath>
#include <filesystem>
#include <optional>

#include "analysis/fourier.h"
#include "common/fault.h"
#include "common/file_io.h"
#include "common/number_text.h"
#include "common/numbers.h"
#include "common/text.h"
#include "exchange/exchange.h"
#include "record/org_records.h"

namespace fs = std::filesystem;

namespace tavo {
namespace {

constexpr int16_t kPoints = 144;

std::string trim_blanks(std::string_view s) {
    const std::size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    const std::size_t e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

bool name_taken(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

// 144 points resampled in place to one stroke of m samples: analysed up to
// harmonic `harmonics` and synthesised from harmonics 1..harmonics-1.
void from_144(SampleArray& x, int16_t m, int16_t harmonics) {
    std::array<float, 32> A{}, B{};
    Get_DFT(x, kPoints, A, B, harmonics);
    Put_DFT(x, m, A, B, harmonics);
}

// Test mode 4 when the power per volt-ampere says about 3/1000, else mode
// Samples without voltage or current tell nothing and are left out.
int16_t estimate_test_mode(const State& st) {
    float r = 0.0f;
    int used = 0;
    for (int i = 0; i < st.Circle_Num; ++i) {
        const float u = st.Vol_Dat[i], c = st.Cur_Dat[i];
        if (u == 0.0f || c == 0.0f) continue;
        const float q = st.Var_Dat[i], p = st.Pow_Dat[i];
        const double s = dsqrt(static_cast<double>(checked(q * q + p * p)));
        r = checked(static_cast<float>(static_cast<double>(r) + ddiv(ddiv(s, u), c)));
        ++used;
    }
    if (used > 0) r = fdiv(checked(r * 1000.0f), static_cast<float>(used));
    return r > 2.0f ? int16_t{16388} : int16_t{16385};
}

// The 16-bit word of a scaled sample; none when it does not fit.
std::optional<int16_t> word(float scaled) {
    try {
        return to_i16(scaled);
    } catch (const Fault&) {
        return std::nullopt;
    }
}

}  // namespace

std::string safe_file_name(std::string_view well) {
    std::string out;
    out.reserve(well.size());
    for (std::size_t i = 0; i < well.size();) {
        const auto c = static_cast<unsigned char>(well[i]);
        std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (n > well.size() - i) n = well.size() - i;
        bool bad = false;
        if (n == 1) {
            bad = c < 0x20 || c == 0x7F ||
                  std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
        } else if (n == 2 && c == 0xC2) {
            bad = static_cast<unsigned char>(well[i + 1]) < 0xA0;  // U+0080..U+009F
        }
        if (bad)
            out += '_';
        else
            out.append(well.substr(i, n));
        i += n;
    }
    if (out.empty()) return "_";
    if (out.find_first_not_of('.') == std::string::npos) return std::string(out.size(), '_');
    return out;
}

Problem Save_Org_file(State& st, const std::string& PathDir, const std::string& FileName, int16_t /*Count*/,
                      std::string& name) {
    // The first free name.
    const fs::path dir(PathDir);
    const std::string base = safe_file_name(trim_blanks(FileName)) + ".O";
    name = base;
    for (int k = 0; k <= 99; ++k) {
        const std::string candidate = base + (k < 10 ? "0" : "") + int_text(k);
        if (!name_taken(dir / candidate)) {
            name = candidate;
            break;
        }
    }

    // One stroke of Circle_Num samples; the displacement smoothed.
    Problem p;
    const int16_t m = st.Circle_Num;
    if (m < 1 || m > kArrayLen) {
        p.kind = Problem::Kind::RebuildStroke;
        p.stroke = m;
        return p;
    }
    try {
        for (SampleArray* a : {&st.Force_Dat, &st.Cur_Dat, &st.Var_Dat, &st.Pow_Dat, &st.Vol_Dat})
            from_144(*a, m, 31);
        from_144(st.Pos_Dat, m, 7);
    } catch (const Fault& f) {
        return fault_problem(Problem::Kind::RebuildCurves, f);
    }

    // The test mode.
    try {
        st.head.Test_Mode = estimate_test_mode(st);
    } catch (const Fault& f) {
        return fault_problem(Problem::Kind::RebuildTestMode, f);
    }

    // The header texts.
    st.head.Test_Time = st.Txt_TestTime;
    st.head.Well_Name = st.Txt_WellName;
    st.head.Rec_Speed = 1;

    // The stroke repeated to 3000 records (the current is not extended).
    const HeadBytes hb = encode_head(st.head);
    std::string bytes(reinterpret_cast<const char*>(hb.data()), hb.size());
    bytes.reserve(kHeadSize + kPointSize * kMaxSamples);
    for (int q = 0; q < kMaxSamples; ++q) {
        const int from = q % m;
        for (SampleArray* a : {&st.Force_Dat, &st.Pos_Dat, &st.Var_Dat, &st.Vol_Dat, &st.Pow_Dat})
            (*a)[q] = (*a)[from];
        // A sample word that does not fit stops the block, naming the sample.
        const auto misfit = [&](Quantity what, float value) {
            p.kind = Problem::Kind::SampleNotShort;
            p.quantity = what;
            p.sample = q;
            p.detail = plain_form(value);
            return p;
        };
        Org_Point pt;
        const auto var = word(st.Var_Dat[q] * 100.0f);
        if (!var) return misfit(Quantity::ReactivePower, st.Var_Dat[q]);
        pt.IQ_Raw = *var;
        pt.Vol_Raw = voltage_word(st.Vol_Dat[q] * 50.0f);
        const auto pow = word(st.Pow_Dat[q] * 100.0f);
        if (!pow) return misfit(Quantity::ActivePower, st.Pow_Dat[q]);
        pt.Pow_Raw = *pow;
        const auto pos = word(st.Pos_Dat[q] * 1000.0f);
        if (!pos) return misfit(Quantity::Displacement, st.Pos_Dat[q]);
        pt.Pos_Raw = *pos;
        const auto force = word(st.Force_Dat[q] * 100.0f);
        if (!force) return misfit(Quantity::Load, st.Force_Dat[q]);
        pt.Force_Raw = *force;
        st.point = pt;
        const PointBytes pb = encode_point(pt);
        bytes.append(reinterpret_cast<const char*>(pb.data()), pb.size());
    }

    // Written whole or not at all.
    const fs::path target = dir / name;
    p.io = file_io::replace_all(target.string(), bytes);
    if (p.io) {
        p.kind = Problem::Kind::CannotWriteTester;
        p.detail = target.string();
    }
    return p;
}

}  // namespace tavo
