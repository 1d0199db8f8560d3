#include <cmath>
#include <fstream>

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
    LoadReport report;
    // A folder opens but reads nothing, a pipe waits for a writer: neither
    // is a tester file.
    const std::string special = file_io::not_ordinary_file(str_file);
    std::ifstream in;
    if (special.empty()) in.open(str_file, std::ios::binary);
    if (!special.empty() || !in) {
        // Our reading of a file that cannot be opened: nothing of the state
        // changes; the pipeline goes on with the data already held.
        report.kind = LoadReport::Kind::CannotOpen;
        report.detail = "cannot open the file";
        if (!special.empty()) report.detail += " (" + special + ")";
        st.last_load = report;
        return report;
    }

    // The header; one that cannot be read whole leaves the record as it was.
    HeadBytes hb{};
    in.read(reinterpret_cast<char*>(hb.data()), static_cast<std::streamsize>(hb.size()));
    const bool head_ok = in.gcount() == static_cast<std::streamsize>(hb.size());
    if (head_ok) st.head = decode_head(hb);
    in.clear();

    // The apparent-power factor of the test mode.
    const float k = apparent_factor(st.head.Test_Mode);
    const bool reactive_first = (st.head.Test_Mode & kModeReactiveFirst) != 0;

    // Recording-speed factor at least 1.
    if (st.head.Rec_Speed < 1) st.head.Rec_Speed = 1;

    // The header boxes.
    st.Txt_TestTime = MyTrim(st.head.Test_Time);
    st.Txt_WellName = MyTrim(st.head.Well_Name);
    st.Rec_Spd = int_text(st.head.Rec_Speed);

    // The samples, scaled to their units. Locals keep their values across
    // samples, as a statement abandoned by the failure rule leaves them.
    in.seekg(static_cast<std::streamoff>(kHeadSize));
    float U = 0.0f, A = 0.0f, P = 0.0f, D = 0.0f, L = 0.0f;
    float I = 0.0f, Q = 0.0f, S = 0.0f, PF = 0.0f;
    float sum = 0.0f;
    const int n = st.head.Point_Num;
    int read_whole = 0;
    const float kTenth = 0.1f;
    for (int i = 0; i < n; ++i) {
        PointBytes pb{};
        in.read(reinterpret_cast<char*>(pb.data()), static_cast<std::streamsize>(pb.size()));
        if (in.gcount() == static_cast<std::streamsize>(pb.size())) {
            st.point = decode_point(pb);
            ++read_whole;
        } else {
            in.clear();  // the buffer keeps the last record read
        }
        const Org_Point& r = st.point;
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
                stmt([&] { I = fdiv(fdiv(S, k), U); });
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

    // The mean active power; with no samples the division fails and the
    // mean stays 0.
    float mean = 0.0f;
    stmt([&] { mean = fdiv(sum, static_cast<float>(n)); });

    // Polarity: a negative mean turns the power curves over. Mended: only
    // this file's own curves are corrected (not while Chk_POW keeps the
    // previous file's), and the reactive power only when it was read from
    // the file; a derived one is a magnitude.
    if (mean < 0.0f && !st.Chk_POW) {
        for (int i = 0; i < n && i < kMaxSamples; ++i) {
            st.Pow_Dat[i] = -st.Pow_Dat[i];
            if (reactive_first) st.Var_Dat[i] = -st.Var_Dat[i];
            st.PF_Dat[i] = -st.PF_Dat[i];
        }
    }

    report.records_expected = n;
    report.records_read = read_whole;
    if (!head_ok) {
        report.kind = LoadReport::Kind::ShortHeader;
        report.detail = "the file is shorter than its 1024-byte header";
    } else if (read_whole < n) {
        report.kind = LoadReport::Kind::ShortSamples;
        report.detail = "the file holds " + std::to_string(read_whole) + " of the " + std::to_string(n) +
                        " samples its header announces";
    } else {
        report.kind = LoadReport::Kind::Ok;
    }
    st.last_load = report;
    return report;
}

}  // namespace tavo
