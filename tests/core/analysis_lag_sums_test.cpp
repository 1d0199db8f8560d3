// The lane kernels must give each candidate exactly the bits of the plain
// one-candidate sums.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "analysis/lag_sums.h"

namespace tavo {
namespace {

std::vector<float> noisy_curve(std::size_t n, uint32_t seed) {
    std::vector<float> w(n);
    uint32_t s = seed;
    for (auto& v : w) {
        s = s * 1664525u + 1013904223u;
        v = static_cast<float>(s >> 8) / 16777216.0f * 37.3f - 5.1f;
    }
    return w;
}

uint32_t bits(float v) {
    uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

TEST(LagSums, ContiguousLanesMatchOneLagAtATime) {
    const auto w = noisy_curve(3100, 7);
    for (int lag0 : {0, 199, 1234, 2499}) {
        float sy[lag_sums::kLanes], syy[lag_sums::kLanes], sxy[lag_sums::kLanes];
        lag_sums::contiguous(w.data(), 500, lag0, sy, syy, sxy);
        for (int l = 0; l < lag_sums::kLanes; ++l) {
            float a, b, c;
            lag_sums::single(w.data(), w.data() + lag0 + l, 500, a, b, c);
            EXPECT_EQ(bits(sy[l]), bits(a)) << lag0 << "+" << l;
            EXPECT_EQ(bits(syy[l]), bits(b)) << lag0 << "+" << l;
            EXPECT_EQ(bits(sxy[l]), bits(c)) << lag0 << "+" << l;
        }
    }
}

TEST(LagSums, GatheredLanesOfUnequalLengthMatch) {
    const auto f = noisy_curve(3001, 11);
    const float* x = f.data() + 37;
    // Windows scattered, and windows one sample apart (consecutive lags one
    // cycle on).
    for (int run = 1; run <= 2 * lag_sums::kLanes; ++run) {
        const int apart = (run - 1) / lag_sums::kLanes;  // 0: scattered
        const int lanes = run - apart * lag_sums::kLanes;
        const float* yb[lag_sums::kLanes];
        int len[lag_sums::kLanes];
        for (int l = 0; l < lanes; ++l) {
            len[l] = 400 + 3 * l + (l > 4 ? 50 : 0);
            yb[l] = apart > 0 ? f.data() + 1200 + apart * l : f.data() + 37 + 2 * len[l];
        }
        SCOPED_TRACE(::testing::Message() << lanes << " lanes, " << apart << " apart");
        float sy[lag_sums::kLanes], syy[lag_sums::kLanes], sxy[lag_sums::kLanes];
        lag_sums::gathered(x, yb, len, lanes, sy, syy, sxy);
        for (int l = 0; l < lanes; ++l) {
            float a, b, c;
            lag_sums::single(x, yb[l], len[l], a, b, c);
            EXPECT_EQ(bits(sy[l]), bits(a));
            EXPECT_EQ(bits(syy[l]), bits(b));
            EXPECT_EQ(bits(sxy[l]), bits(c));
        }
    }
}

}  // namespace
}  // namespace tavo
