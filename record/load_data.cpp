#include <cmath>
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

LoadReport Load_Data(State& st, const std::string& str_file) {
    // One read of the whole file. A folder, a pipe or a device is refused
    // before reading: none of them is a tester file.
    std::string bytes;
    const std::string err = file_io::read_all(str_file, bytes);
    if (!err.empty()) {
        LoadReport report;
        report.kind = LoadReport::Kind::CannotOpen;
        report.detail = "cannot open the file (" + err + ")";
        st.last_load = report;
        return report;
    }
    return load_tester_bytes(st, bytes);
}

LoadReport load_tester_bytes(State& st, std::string_view bytes) {
    LoadReport report;
    // A file shorter than its header is not analysed: nothing of the state
    // changes, so nothing is invented from the file read before.
    std::optional<TesterRecords> rec = decode_tester_file(bytes);
    if (!rec) {
        report.kind = LoadReport::Kind::ShortHeader;
        report.detail = "the file is shorter than its 1024-byte header";
        st.last_load = report;
        return report;
    }
    st.head = std::move(rec->head);
    const std::vector<Org_Point>& points = rec->points;

    // A file whose samples end early is the test of the records it holds:
    // its Point_Num counts them, so a write-back writes no others.
    const int announced = st.head.Point_Num;
    const int n = static_cast<int>(points.size());
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

    // The samples in engineering units, and the derived quantities. Locals
    // keep their values across samples, as a statement abandoned by the
    // failure rule leaves them.
    float U = 0.0f, A = 0.0f, P = 0.0f, D = 0.0f, L = 0.0f;
    float I = 0.0f, Q = 0.0f, S = 0.0f, PF = 0.0f;
    float sum = 0.0f;
    const float kTenth = 0.1f;
    for (int i = 0; i < n; ++i) {
        const Org_Point& r = points[static_cast<std::size_t>(i)];
        U = r.Vol_Raw < 0 ? static_cast<float>(r.Vol_Raw + 65536) / 50.0f
                          : static_cast<float>(r.Vol_Raw) / 50.0f;
        A = static_cast<float>(r.IQ_Raw) / 100.0f;
        P = static_cast<float>(r.Pow_Raw) / 100.0f;
        D = static_cast<float>(r.Pos_Raw) / 1000.0f;
        L = static_cast<float>(r.Force_Raw) / 100.0f;
        if (reactive_first) {
            Q = A;
            S = fsqrt(P * P + Q * Q);
            if (U > 3.0f) {
                // With a factor of 0 the division fails and the current
                // keeps its value.
                if (const auto s_k = try_fdiv(S, k))
                    if (const auto i_u = try_fdiv(*s_k, U)) I = *i_u;
            } else {
                I = 0.0f;
            }
        } else {
            I = A;
            S = I * U * k;
            const float d = S * S - P * P;
            Q = d > kTenth ? fsqrt(d) : 0.0f;
        }
        PF = S > kTenth ? P / S : 0.0f;
        sum = sum + P;
        if (i < kMaxSamples) {
            if (!st.Chk_POW) {
                st.Cur_Dat[i] = I;
                st.Vol_Dat[i] = U;
                st.Pow_Dat[i] = P;
                st.Var_Dat[i] = Q;
                st.VA_Dat[i] = S;
                st.PF_Dat[i] = PF;
            }
            if (!st.Chk_SGT) {
                st.Pos_Dat[i] = D;
                st.Force_Dat[i] = L;
            }
        }
    }
    if (n > 0) st.point = points.back();

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
    if (n < announced) {
        report.kind = LoadReport::Kind::ShortSamples;
        report.detail = "the file holds " + std::to_string(n) + " of the " + std::to_string(announced) +
                        " samples its header announces";
    } else {
        report.kind = LoadReport::Kind::Ok;
    }
    st.last_load = report;
    return report;
}

}  // namespace tavo
