// The two stroke-cycle detectors. Both store the cycle length in
// st.Circle_Num (the sample count N when no cycle is found) and a
// correlation in st.Circle_Corr. Both run under the failure rule.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "record/state.h"

namespace tavo {

// The memory the two detectors work in, owned by the caller and reused from
// call to call; every call starts from zeros, so nothing carries over. Each
// buffer is a heap block of its own, sized when first used, so that
// AddressSanitizer sees a step past its end.
struct CycleWorkspace {
    // get_circle_sss: the curve searched, the correlations kept and
    // normalised, which of them are computed, and the runs and their peaks.
    struct Displacement {
        std::vector<float> w, c, raw;
        std::vector<uint8_t> raw_state;  // 0 not computed, 1 stored, 2 failed
        std::vector<int16_t> run_start, run_end, peak_index;
        std::vector<float> peak_value;
        float cmax = 0.0f;
    } sss;
    // get_circle: the smoothed curve, its flags above the threshold, the
    // running sums of the first cycle, and the smoothing's own curve.
    struct Power {
        std::vector<float> f;
        std::vector<int16_t> g;
        std::vector<float> px, pxx;
        std::vector<float> smoothing;
    } power;
};

// Displacement curve: autocorrelation of a 500-sample window. Lowers
// fdata[0 .. N-1] by its minimum when the range is at least 0.3.
void get_circle_sss(State& st, CycleWorkspace& work, std::span<float> fdata, int16_t Dat_Num);

// Active-power curve: peak regions of the smoothed curve and the match of
// the first cycle against the last whole cycle. The tag is not interpreted.
void get_circle(State& st, CycleWorkspace& work, std::string_view id_chr, std::span<const float> data,
                int16_t myData_Num);

}  // namespace tavo
