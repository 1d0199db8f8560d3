#include "analysis/pipeline.h"

#include <array>
#include <cmath>

#include "analysis/card_calc.h"
#include "analysis/detect_cycle.h"
#include "analysis/fourier.h"
#include "analysis/power_calc.h"
#include "common/fault.h"
#include "common/number_text.h"
#include "record/tester_file.h"

namespace tavo {

namespace {

// Plausible strokes: more than 210 and at most 2450 samples on the
// displacement, more than 250 and at most 2000 on the active power.
constexpr int16_t kNoCycle = 3000;
constexpr int kPosMin = 210, kPosMax = 2450;
constexpr int kPowMin = 250, kPowMax = 2000;
constexpr int kSkip = 500, kSearch = 2500;
constexpr double kMinAmplitude = 0.5;  // m, first harmonic of the displacement

}  // namespace

Problem tx_org(State& st, const std::string& PathName, int16_t flag) {
    Workspace work;
    return tx_org(st, work, PathName, flag);
}

Problem tx_org(State& st, Workspace& work, const std::string& PathName, int16_t flag) {
    std::array<float, 2> A{}, B{};

    // Load. A file that cannot be read is not analysed: the state, the
    // drawing and the header boxes keep the test held before.
    Problem load;
    if (flag == 1) {
        // A copy: PathName may be Cur_File itself, which is set below.
        const std::string path = PathName;  // NOLINT(performance-unnecessary-copy-initialization)
        load = Load_Data(st, work.read, path);
        if (not_analysed(load)) return load;
        st.Cur_File = path;
    }

    // The stroke from the displacement: trusted when the rod really moves
    // and the length is plausible.
    st.Circle_Corr = 0.0f;
    st.Circle_Num = kNoCycle;
    get_circle_sss(st, work.cycle, st.Pos_Dat, kNoCycle);
    stmt([&] { Get_DFT(st.Pos_Dat, st.Circle_Num, A, B, 1); });
    const double a = std::sqrt(static_cast<double>(A[1]) * A[1] + static_cast<double>(B[1]) * B[1]);
    const bool pos_ok = a >= kMinAmplitude && st.Circle_Num > kPosMin && st.Circle_Num <= kPosMax;

    if (!pos_ok) {
        // Otherwise the stroke from the active power over the whole record.
        st.Circle_Corr = 0.0f;
        st.Circle_Num = kNoCycle;
        get_circle(st, work.cycle, "first_ppp", st.Pow_Dat, kNoCycle);
        // Again without the first 10 s when that result is implausible.
        if (st.Circle_Num > kPowMax || st.Circle_Num <= kPowMin) {
            std::array<float, kArrayLen> W{};  // zero beyond the samples copied
            for (int j = 0; j < kSearch; ++j)
                W[static_cast<std::size_t>(j)] = st.Pow_Dat[static_cast<std::size_t>(j + kSkip)];
            st.Circle_Corr = 0.0f;
            get_circle(st, work.cycle, "secand_ppp", W, kSearch);
            if (st.Circle_Num > kPowMax) st.Circle_Num = kNoCycle;
        }
    }

    st.cycle_origin = State::CycleOrigin::Detected;
    st.detected_cycle = st.Circle_Num;

    // The cycle length and recording speed in their boxes.
    st.CircleDot = int_text(st.Circle_Num);
    st.Rec_Spd = int_text(st.head.Rec_Speed);
    st.Pow_Circle_Num = st.Circle_Num;

    // The electrical and card results.
    Calc_Power_Data(st);
    Calc_Sgt_Data(st);
    return load;
}

}  // namespace tavo
