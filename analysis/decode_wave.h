// The smoothing of the active-power detector: a 20-sample moving average
// whose output is advanced by 20 samples (output k is the mean of input
// samples k+1 .. k+20).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tavo {

// Reads data[0 .. N-1] (N = myData_Num on entry), writes Data2[0 .. N-21] and
// returns N - 20 through myData_Num. Runs under the failure rule. `work` is
// the running mean's curve, the caller's block reused from call to call.
void Decode_Wave(std::span<const float> data, int16_t& myData_Num, std::span<float> Data2,
                 std::vector<float>& work);

}  // namespace tavo
