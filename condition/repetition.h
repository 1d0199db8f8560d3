// The period of a repeating curve, from its correlation with itself at
// every lag.
#pragma once

#include <vector>

namespace tavo::condition {

// Pearson correlation of x[0..n-1-lag] with x[lag..n-1], for every lag in
// [lo, hi]; element k belongs to lag lo + k. Lags whose windows do not vary
// give 0.
std::vector<double> lag_correlation(const std::vector<double>& x, int lo, int hi);

struct Repetition {
    double period = 0.0;   // samples, refined below one sample; 0 when none
    double clarity = 0.0;  // correlation at the period, 0..1
    bool doubled = false;  // the strongest early repetition was half the period
};

// The period of x between min_lag and max_lag samples. All whole repeats
// within reach are used: the period is fitted through the correlation
// peaks at every multiple. The first strong peak is taken rather than the
// highest (which tends to a multiple), and then tested for being half the
// period: when a stretch of that length matches the one two stretches on
// clearly better than the next, every other repeat differs and the period
// is twice as long (a balanced unit draws two similar power humps per
// stroke).
Repetition find_repetition(const std::vector<double>& x, int min_lag, int max_lag);

// The series with its least-squares straight line taken off (drift).
std::vector<double> detrended(const std::vector<double>& x);

}  // namespace tavo::condition
