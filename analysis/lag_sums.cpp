#include "analysis/lag_sums.h"

#include <algorithm>
#include <cstring>

namespace tavo::lag_sums {

namespace {
typedef float v4f __attribute__((vector_size(16)));

// The three sums of eight lanes, each lane adding its samples in order.
struct EightSums {
    v4f a0 = {}, a1 = {}, b0 = {}, b1 = {}, c0 = {}, c1 = {};
    void add(float xj, v4f y0, v4f y1) {
        const v4f x = {xj, xj, xj, xj};
        a0 = a0 + y0;
        a1 = a1 + y1;
        b0 = b0 + y0 * y0;
        b1 = b1 + y1 * y1;
        c0 = c0 + x * y0;
        c1 = c1 + x * y1;
    }
};
}  // namespace

void single(const float* xb, const float* yb, int len, float& sy, float& syy, float& sxy) {
    float a = 0.0f, b = 0.0f, c = 0.0f;
    for (int j = 0; j < len; ++j) {
        const float y = yb[j];
        a = a + y;
        b = b + y * y;
        c = c + xb[j] * y;
    }
    sy = a;
    syy = b;
    sxy = c;
}

void contiguous(const float* w, int len, int lag0, float* sy, float* syy, float* sxy) {
    EightSums s;
    const float* yp = w + lag0;
    for (int j = 0; j < len; ++j) {
        v4f y0, y1;
        std::memcpy(&y0, yp + j, sizeof y0);
        std::memcpy(&y1, yp + j + 4, sizeof y1);
        s.add(w[j], y0, y1);
    }
    for (int l = 0; l < 4; ++l) {
        sy[l] = s.a0[l], sy[l + 4] = s.a1[l];
        syy[l] = s.b0[l], syy[l + 4] = s.b1[l];
        sxy[l] = s.c0[l], sxy[l + 4] = s.c1[l];
    }
}

void gathered(const float* xb, const float* const* yb, const int* len, int lanes, float* sy, float* syy,
              float* sxy) {
    if (lanes <= 0) return;
    // Unused lanes read the first lane's curve and are dropped afterwards.
    const float* p[kLanes];
    for (int l = 0; l < kLanes; ++l) p[l] = yb[l < lanes ? l : 0];
    const int common = *std::min_element(len, len + lanes);
    // Windows one sample apart (consecutive lags shifted by one cycle, the
    // longest ones) are read with whole-vector loads, as the contiguous
    // kernel reads them; the sums are the same, only the loads differ.
    bool adjacent = lanes == kLanes;
    for (int l = 1; l < kLanes && adjacent; ++l) adjacent = p[l] == p[0] + l;
    EightSums s;
    int j = 0;
    if (adjacent) {
        for (; j < common; ++j) {
            v4f y0, y1;
            std::memcpy(&y0, p[0] + j, sizeof y0);
            std::memcpy(&y1, p[0] + j + 4, sizeof y1);
            s.add(xb[j], y0, y1);
        }
    }
    for (; j < common; ++j) {
        const v4f y0 = {p[0][j], p[1][j], p[2][j], p[3][j]};
        const v4f y1 = {p[4][j], p[5][j], p[6][j], p[7][j]};
        s.add(xb[j], y0, y1);
    }
    for (int l = 0; l < lanes; ++l) {
        float a = l < 4 ? s.a0[l] : s.a1[l - 4];
        float b = l < 4 ? s.b0[l] : s.b1[l - 4];
        float c = l < 4 ? s.c0[l] : s.c1[l - 4];
        // Each lane finishes its own window in the same order.
        for (int k = common; k < len[l]; ++k) {
            const float y = yb[l][k];
            a = a + y;
            b = b + y * y;
            c = c + xb[k] * y;
        }
        sy[l] = a;
        syy[l] = b;
        sxy[l] = c;
    }
}

}  // namespace tavo::lag_sums
