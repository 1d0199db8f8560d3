#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "common/fault.h"
#include "common/file_io.h"
#include "common/number_text.h"
#include "common/text.h"
#include "record/tester_file.h"

namespace tavo {

float apparent_factor(int16_t test_mode) {
    switch (test_mode & 7) {
        case 1:
            return static_cast<float>(std::sqrt(3.0) / 1000.0);
        case 2:
            return static_cast<float>(3.0 / 1000.0);
        case 3:
            return static_cast<float>(1.0 / 1000.0);
        case 4:
            return static_cast<float>(3.0 / 1000.0);
        default:
            return 0.0f;
    }
}

namespace {

typedef float v4f __attribute__((vector_size(16)));
typedef int v4i __attribute__((vector_size(16)));

// The five words of every sample in engineering units: voltage (the word
// unsigned) / 50, first word / 100, active power / 100, displacement /
// 1000, load / 100. Each quotient is the single-precision quotient of its
// sample; four are divided at once, into the workspace's blocks.
const ReadWorkspace& scale_words(const std::vector<Org_Point>& pts, ReadWorkspace& sc) {
    const std::size_t n = pts.size();
    const std::size_t padded = (n + 3) / 4 * 4;
    for (auto* v : {&sc.U, &sc.A, &sc.P, &sc.D, &sc.L}) v->resize(padded);
    const v4f k50 = {50.0f, 50.0f, 50.0f, 50.0f}, k100 = {100.0f, 100.0f, 100.0f, 100.0f},
              k1000 = {1000.0f, 1000.0f, 1000.0f, 1000.0f};
    const Org_Point none{};
    for (std::size_t i = 0; i < n; i += 4) {
        const Org_Point* r[4];
        for (std::size_t l = 0; l < 4; ++l) r[l] = i + l < n ? &pts[i + l] : &none;
        const auto word = [&](int16_t Org_Point::*f) { return v4i{r[0]->*f, r[1]->*f, r[2]->*f, r[3]->*f}; };
        const v4i vol = word(&Org_Point::Vol_Raw) & 0xFFFF;
        const v4f u = __builtin_convertvector(vol, v4f) / k50;
        const v4f a = __builtin_convertvector(word(&Org_Point::IQ_Raw), v4f) / k100;
        const v4f p = __builtin_convertvector(word(&Org_Point::Pow_Raw), v4f) / k100;
        const v4f d = __builtin_convertvector(word(&Org_Point::Pos_Raw), v4f) / k1000;
        const v4f l = __builtin_convertvector(word(&Org_Point::Force_Raw), v4f) / k100;
        std::memcpy(sc.U.data() + i, &u, sizeof u);
        std::memcpy(sc.A.data() + i, &a, sizeof a);
        std::memcpy(sc.P.data() + i, &p, sizeof p);
        std::memcpy(sc.D.data() + i, &d, sizeof d);
        std::memcpy(sc.L.data() + i, &l, sizeof l);
    }
    return sc;
}

// The square root of a non-negative single-precision value, rounded once
// to single precision (the same bits as rounding the double root).
inline float root(float v) {
    return std::sqrt(v);
}

// The derived curves where the first word is the current: each sample on
// its own (no statement of this branch can fail), four at a time, each lane
// the single-precision steps of one sample. Only this file's samples are
// stored; the slots after them keep their values.
void derive_from_current(State& st, const ReadWorkspace& sc, int n, float k) {
    const int stored = std::min(n, kMaxSamples);
    const v4f kv = {k, k, k, k}, tenth = {0.1f, 0.1f, 0.1f, 0.1f};
    for (int i = 0; i < stored; i += 4) {
        const auto at = static_cast<std::size_t>(i);
        v4f U, A, P, D, L;
        std::memcpy(&U, sc.U.data() + at, sizeof U);
        std::memcpy(&A, sc.A.data() + at, sizeof A);
        std::memcpy(&P, sc.P.data() + at, sizeof P);
        std::memcpy(&D, sc.D.data() + at, sizeof D);
        std::memcpy(&L, sc.L.data() + at, sizeof L);
        const v4f S = (A * U) * kv;
        const v4f d = S * S - P * P;
        v4f Q;
        for (int l = 0; l < 4; ++l) Q[l] = d[l] > 0.1f ? root(d[l]) : 0.0f;
        // Lanes where S is at most a tenth take 0 instead of the quotient.
        const v4f PF = reinterpret_cast<v4f>(reinterpret_cast<v4i>(P / S) & (S > tenth));
        const int lanes = std::min(4, stored - i);
        for (int l = 0; l < lanes; ++l) {
            const std::size_t ii = at + static_cast<std::size_t>(l);
            if (!st.Chk_POW) {
                st.Cur_Dat[ii] = A[l];
                st.Vol_Dat[ii] = U[l];
                st.Pow_Dat[ii] = P[l];
                st.Var_Dat[ii] = Q[l];
                st.VA_Dat[ii] = S[l];
                st.PF_Dat[ii] = PF[l];
            }
            if (!st.Chk_SGT) {
                st.Pos_Dat[ii] = D[l];
                st.Force_Dat[ii] = L[l];
            }
        }
    }
}

// The slots past a short file's records are cleared, so that no analysis
// reads the samples of the file before; a lock box keeps its group whole.
void clear_past_records(State& st, int n) {
    if (n >= kMaxSamples) return;
    const auto from = static_cast<std::ptrdiff_t>(std::max(n, 0));
    auto clear = [from](SampleArray& a) { std::fill(a.begin() + from, a.end(), 0.0f); };
    if (!st.Chk_POW)
        for (SampleArray* a : {&st.Cur_Dat, &st.Vol_Dat, &st.Pow_Dat, &st.Var_Dat, &st.VA_Dat, &st.PF_Dat})
            clear(*a);
    if (!st.Chk_SGT)
        for (SampleArray* a : {&st.Pos_Dat, &st.Force_Dat}) clear(*a);
}

}  // namespace

Problem Load_Data(State& st, const std::string& str_file) {
    ReadWorkspace work;
    return Load_Data(st, work, str_file);
}

Problem Load_Data(State& st, ReadWorkspace& work, const std::string& str_file) {
    // One read of the whole file. A folder, a pipe or a device is refused
    // before reading: none of them is a tester file.
    const IoFailure err = file_io::read_all(str_file, work.bytes);
    if (err) {
        Problem report;
        report.kind = Problem::Kind::CannotOpen;
        report.io = err;
        report.path = str_file;
        st.last_load = report;
        return report;
    }
    Problem report = load_tester_bytes(st, work, work.bytes);
    report.path = str_file;
    st.last_load.path = str_file;
    return report;
}

Problem load_tester_bytes(State& st, ReadWorkspace& work, std::string_view bytes) {
    Problem report;
    // A file shorter than its header is not analysed: nothing of the state
    // changes, so nothing is invented from the file read before.
    std::optional<TesterRecords> rec = decode_tester_file(bytes);
    if (!rec) {
        report.kind = Problem::Kind::ShortHeader;
        st.last_load = report;
        return report;
    }
    // Nor is a file without one whole sample record (a header alone, or a
    // Point_Num of 0 or less): it is no test, and analysing it would show
    // the arrays of the file before under its well name.
    const int announced = rec->head.Point_Num;
    const std::vector<Org_Point>& points = rec->points;
    const int n = static_cast<int>(points.size());
    if (n == 0) {
        report.kind = Problem::Kind::NoSamples;
        report.records_expected = announced;
        st.last_load = report;
        return report;
    }
    st.head = std::move(rec->head);

    // A file whose samples end early is the test of the records it holds:
    // its Point_Num counts them, so a write-back writes no others.
    if (n < announced) st.head.Point_Num = static_cast<int16_t>(n);

    // The apparent-power factor k of the test mode.
    const float k = apparent_factor(st.head.Test_Mode);
    const bool reactive_first = (st.head.Test_Mode & kModeReactiveFirst) != 0;

    // A sample spans at least 0.02 s.
    if (st.head.Rec_Speed < 1) st.head.Rec_Speed = 1;

    // The header boxes.
    st.Txt_TestTime = MyTrim(st.head.Test_Time);
    st.Txt_WellName = MyTrim(st.head.Well_Name);
    st.Rec_Spd = int_text(st.head.Rec_Speed);

    // The raw words in engineering units, four samples at a time.
    const ReadWorkspace& sc = scale_words(points, work);

    // The derived quantities.
    float sum = 0.0f;
    if (!reactive_first) {
        derive_from_current(st, sc, n, k);
        for (int i = 0; i < n; ++i) sum = sum + sc.P[static_cast<std::size_t>(i)];
    } else {
        // The current keeps its value across samples, as a statement
        // abandoned by the failure rule leaves it.
        float I = 0.0f;
        for (int i = 0; i < n; ++i) {
            const auto ii = static_cast<std::size_t>(i);
            const float U = sc.U[ii], Q = sc.A[ii], P = sc.P[ii];
            const float S = root(P * P + Q * Q);
            if (U > 3.0f) {
                // With a factor of 0 the division fails and the current
                // keeps its value.
                if (const auto s_k = try_fdiv(S, k))
                    if (const auto i_u = try_fdiv(*s_k, U)) I = *i_u;
            } else {
                I = 0.0f;
            }
            const float PF = S > 0.1f ? P / S : 0.0f;
            sum = sum + P;
            if (i < kMaxSamples) {
                if (!st.Chk_POW) {
                    st.Cur_Dat[ii] = I;
                    st.Vol_Dat[ii] = U;
                    st.Pow_Dat[ii] = P;
                    st.Var_Dat[ii] = Q;
                    st.VA_Dat[ii] = S;
                    st.PF_Dat[ii] = PF;
                }
                if (!st.Chk_SGT) {
                    st.Pos_Dat[ii] = sc.D[ii];
                    st.Force_Dat[ii] = sc.L[ii];
                }
            }
        }
    }
    if (n > 0) st.point = points.back();
    clear_past_records(st, n);

    // The mean; with no samples the division fails and the mean stays 0.
    float mean = 0.0f;
    if (const auto m = try_fdiv(sum, static_cast<float>(n))) mean = *m;

    // Polarity. Mended: only this file's own curves are corrected (not
    // while Chk_POW keeps the previous file's), and the reactive power only
    // when it was read from the file; a derived one is a magnitude.
    if (mean < 0.0f && !st.Chk_POW) {
        for (int i = 0; i < n && i < kMaxSamples; ++i) {
            st.Pow_Dat[i] = -st.Pow_Dat[i];
            if (reactive_first) st.Var_Dat[i] = -st.Var_Dat[i];
            st.PF_Dat[i] = -st.PF_Dat[i];
        }
    }

    report.records_expected = announced;
    report.records_read = n;
    if (n < announced) report.kind = Problem::Kind::ShortSamples;
    st.last_load = report;
    return report;
}

}  // namespace tavo
