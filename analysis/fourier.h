// Fourier analysis of one sampled cycle and synthesis of any number of
// points from its coefficients. Neither traps faults: a Fault (an index
// outside an array, n or m of 0) passes to the caller.
#pragma once

#include <cstdint>
#include <span>

namespace tavo {

// Writes A[k], B[k] for k = 0..K from n samples of x.
void Get_DFT(std::span<const float> x, int16_t n, std::span<float> A, std::span<float> B, int16_t K);

// Writes pps1[0..m-1] from A[0] and harmonics 1..H-1.
void Put_DFT(std::span<float> pps1, int16_t tt_num, std::span<const float> pcos, std::span<const float> psin,
             int16_t dftt_num);

}  // namespace tavo
