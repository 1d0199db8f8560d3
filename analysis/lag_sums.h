// Correlation sums of both cycle detectors, evaluated for several candidate
// lags side by side. Each lane keeps its own sums in sample order, exactly as
// one candidate evaluated alone would: lanes only run in parallel, nothing
// is reassociated.
#pragma once

#include <cstddef>

namespace tavo::lag_sums {

constexpr int kLanes = 8;

// Sums over j = 0 .. len-1 of y = w[j + lag], y*y and w[j]*y, for the lags
// lag0 .. lag0 + kLanes - 1. Reads w[0 .. len - 1 + lag0 + kLanes - 1].
void contiguous(const float* w, int len, int lag0, float* sy, float* syy, float* sxy);

// Sums over j = 0 .. len[l]-1 of y = yb[l][j], y*y and xb[j]*y for each of
// `lanes` lanes (at most kLanes), lengths ascending.
void gathered(const float* xb, const float* const* yb, const int* len, int lanes, float* sy, float* syy,
              float* sxy);

// One lane, plainly; the reference the lane versions must reproduce.
void single(const float* xb, const float* yb, int len, float& sy, float& syy, float& sxy);

}  // namespace tavo::lag_sums
