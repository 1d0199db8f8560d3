// The two stroke-cycle detectors. Both store the cycle length in
// st.Circle_Num (the sample count N when no cycle is found) and a
// correlation in st.Circle_Corr. Both run under the failure rule.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "record/state.h"

namespace tavo {

// Displacement curve: autocorrelation of a 500-sample window. Lowers
// fdata[0 .. N-1] by its minimum when the range is at least 0.3.
void get_circle_sss(State& st, std::span<float> fdata, int16_t Dat_Num);

// Active-power curve: peak regions of the smoothed curve and the match of
// the first cycle against the last whole cycle. The tag is not interpreted.
void get_circle(State& st, std::string_view id_chr, std::span<const float> data, int16_t myData_Num);

}  // namespace tavo
