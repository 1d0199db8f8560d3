// Loops over vector lanes compiled twice on x86-64: for AVX2 and for the
// processors without it; the program picks one when it starts. Each lane's
// arithmetic is the same either way (with floating-point contraction off,
// no instruction fuses a multiplication with an addition), so the results
// are the same to the bit on every processor.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define TAVO_WIDEST_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define TAVO_WIDEST_VECTORS
#endif
