#include "analysis/detect_cycle.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "analysis/decode_wave.h"
#include "analysis/lag_sums.h"
#include "common/fault.h"
#include "common/numbers.h"

namespace tavo {

namespace {

// The test of a condition under the failure rule: a test that fails goes on
// with the statements it guards, as if it had held.
template <class F>
bool cond(F&& f) {
    try {
        return f();
    } catch (const Fault&) {
        return true;
    }
}

// CInt(v) <> 0 of a normalised correlation: |v| above one half. Values
// that could overflow the conversion take the checked path and its fault.
inline bool rounds_nonzero(float v) {
    if (v > -32767.0f && v < 32767.0f) return v > 0.5f || v < -0.5f;
    return to_i16(v) != 0;
}

// Lxy / sqrt(|LxxLyy|), empty where the division fails (a flat stretch):
// the loops over lags meet that in ordinary data.
inline std::optional<double> correlation(double Lxy, double LxxLyy) {
    const auto root = try_dsqrt(std::fabs(LxxLyy));
    return root ? try_ddiv(Lxy, *root) : std::nullopt;
}

// Room behind the 3001 samples so that the lane kernels may read past the
// last lag they keep.
constexpr int kPad = 16;
constexpr std::size_t kPadded = kArrayLen + kPad;

// ---- get_circle_sss ------------------------------------------------------

constexpr int kWin = 500;        // correlation window
constexpr int kLastCand = 2500;  // last candidate index
constexpr int kRuns = 20;        // entries of the run and peak tables

// Raw correlations depend only on w and the index: the second pass reuses
// those of the first.
using SssWork = CycleWorkspace::Displacement;

// Raw correlations of the candidates among s..2500 that have none yet.
void sss_correlations(SssWork& wk, const std::array<uint8_t, kArrayLen>& cand, int s) {
    const float* w = wk.w.data();
    // The window's own sums are the same for every lag.
    float sx = 0.0f, sxx = 0.0f;
    for (int j = 0; j < kWin; ++j) {
        sx = sx + w[j];
        sxx = sxx + w[j] * w[j];
    }
    const double Lxx = static_cast<double>(sxx) - static_cast<double>(sx) * static_cast<double>(sx) / kWin;
    float sy[lag_sums::kLanes], syy[lag_sums::kLanes], sxy[lag_sums::kLanes];
    for (int i = s; i <= kLastCand; ++i) {
        if (!cand[static_cast<std::size_t>(i)] || wk.raw_state[static_cast<std::size_t>(i)] != 0) continue;
        // Lanes i .. i+7 (lags i-1 .. i+6); w[j + lag] stays inside the padded curve.
        lag_sums::contiguous(w, kWin, i - 1, sy, syy, sxy);
        for (int l = 0; l < lag_sums::kLanes && i + l <= kLastCand; ++l) {
            const auto ii = static_cast<std::size_t>(i + l);
            if (!cand[ii] || wk.raw_state[ii] != 0) continue;
            const double Lyy =
                static_cast<double>(syy[l]) - static_cast<double>(sy[l]) * static_cast<double>(sy[l]) / kWin;
            const double Lxy =
                static_cast<double>(sxy[l]) - static_cast<double>(sx) * static_cast<double>(sy[l]) / kWin;
            // A flat stretch fails the division: the lag stays marked as
            // failed (2) and keeps no correlation.
            wk.raw_state[ii] = 2;
            if (const auto r = correlation(Lxy, Lxx * Lyy); r && std::isfinite(static_cast<float>(*r))) {
                wk.raw[ii] = static_cast<float>(*r);
                wk.raw_state[ii] = 1;
            }
        }
    }
}

// One pass from start index s; returns the number of runs.
int sss_pass(SssWork& wk, int s) {
    // Candidates: samples whose level is within 5 % of the first one.
    std::array<uint8_t, kArrayLen> cand{};
    // w[0] lies in the upper half of a range of at least 0.3, so it is never
    // 0; were it 0, every quotient would fail and q would stay 0 (no
    // candidate).
    const float w0 = wk.w[0];
    if (w0 != 0.0f) {
        for (int i = s; i <= kLastCand; ++i) {
            float q = wk.w[static_cast<std::size_t>(i)] / w0;
            if (q > 1.0f) q = 1.0f / q;
            cand[static_cast<std::size_t>(i)] = q > 0.95f;
        }
    }
    sss_correlations(wk, cand, s);
    for (int i = s; i <= kLastCand; ++i) {
        const auto ii = static_cast<std::size_t>(i);
        if (cand[ii] && wk.raw_state[ii] == 1) wk.c[ii] = wk.raw[ii];
    }

    // Running maximum.
    for (int i = s; i <= kLastCand; ++i)
        if (wk.c[static_cast<std::size_t>(i)] > wk.cmax) wk.cmax = wk.c[static_cast<std::size_t>(i)];

    // Normalise and find the runs of high correlation.
    int count = 0;
    auto& c = wk.c;
    for (int i = s; i <= kLastCand; ++i) {
        const auto ii = static_cast<std::size_t>(i);
        if (c[ii] != 0.0f) {
            // With cmax still 0 this fails and the raw value is compared.
            if (const auto v = try_fdiv(c[ii], wk.cmax)) c[ii] = *v;
            if (c[ii] < 0.95f) c[ii] = 0.0f;
        }
        // Both halves of each test are evaluated, so a failing one counts.
        if (cond([&] {
                const bool before = c[ii - 1] == 0.0f;
                const bool here = rounds_nonzero(c[ii]);
                return before && here;
            })) {
            if (count < kRuns) ++count;
            wk.run_start[static_cast<std::size_t>(count)] = static_cast<int16_t>(i);
        }
        if (cond([&] {
                const bool before = rounds_nonzero(c[ii - 1]);
                const bool here = c[ii] == 0.0f;
                return before && here;
            }))
            wk.run_end[static_cast<std::size_t>(count)] = static_cast<int16_t>(i - 1);
    }

    // The peak of each run.
    for (int k = 1; k <= count; ++k) {
        const auto kk = static_cast<std::size_t>(k);
        const int st = wk.run_start[kk];
        wk.peak_value[kk] = c[static_cast<std::size_t>(st)];
        wk.peak_index[kk] = static_cast<int16_t>(st);
        for (int i = st + 1; i <= wk.run_end[kk]; ++i) {
            if (c[static_cast<std::size_t>(i)] > wk.peak_value[kk]) {
                wk.peak_value[kk] = c[static_cast<std::size_t>(i)];
                wk.peak_index[kk] = static_cast<int16_t>(i);
            }
        }
    }
    return count;
}

// ---- get_circle ----------------------------------------------------------

constexpr int kMinGap = 190;  // first candidate lies this far past the first region

}  // namespace

void get_circle_sss(State& st, CycleWorkspace& work, std::span<float> fdata, int16_t Dat_Num) {
    const int N = Dat_Num;
    // Statements reading past the caller's array are abandoned and set nothing.
    const int nn = std::min<int>(N, static_cast<int>(fdata.size()));

    float mx = -999.0f, mn = 9999.0f;
    {
        float hi = mx, lo = mn;  // kept in registers
        for (int i = 0; i < nn; ++i) {
            const float v = fdata[static_cast<std::size_t>(i)];
            if (v > hi) hi = v;
            if (v < lo) lo = v;
        }
        mx = hi;
        mn = lo;
    }
    float range = 0.0f;
    stmt([&] { range = checked(mx - mn); });
    if (range < 0.3f) {
        st.Circle_Num = Dat_Num;
        st.Circle_Corr = 0.0f;
        return;
    }

    for (int i = 0; i < nn; ++i) {
        const float v = fdata[static_cast<std::size_t>(i)] - mn;
        if (std::isfinite(v)) fdata[static_cast<std::size_t>(i)] = v;  // an overflow keeps the sample
    }

    // Zero at entry (the blocks are only allocated at the first call).
    SssWork& wk = work.sss;
    wk.w.assign(kPadded, 0.0f);
    wk.c.assign(kArrayLen, 0.0f);
    wk.raw.resize(kArrayLen);  // read only where raw_state says stored
    wk.raw_state.assign(kArrayLen, 0);
    wk.run_start.assign(kRuns + 1, 0);
    wk.run_end.assign(kRuns + 1, 0);
    wk.peak_index.assign(kRuns + 1, 0);
    wk.peak_value.assign(kRuns + 1, 0.0f);
    wk.cmax = 0.0f;
    float ratio = 0.0f;
    stmt([&] { ratio = fdiv(at(fdata, 0), range); });
    const int nw = std::min(nn, kArrayLen);
    if (ratio <= 0.5f) {
        for (int i = 0; i < nw; ++i)
            wk.w[static_cast<std::size_t>(i)] = range - fdata[static_cast<std::size_t>(i)];
    } else {
        for (int i = 0; i < nw; ++i) wk.w[static_cast<std::size_t>(i)] = fdata[static_cast<std::size_t>(i)];
    }

    int count = sss_pass(wk, 200);
    if (count < 4) count = sss_pass(wk, 400);

    int16_t cycle = 0;
    for (int k = 1; k <= count; ++k) {
        const auto kk = static_cast<std::size_t>(k);
        if (wk.peak_value[kk] > 0.95f) {
            int16_t estimate = cycle;
            const bool ok = stmt([&] {
                estimate = to_i16(fdiv(static_cast<float>(wk.peak_index[kk]), static_cast<float>(k)));
            });
            if (ok && estimate > cycle) cycle = estimate;
        }
    }
    if (cycle == 0) cycle = Dat_Num;
    st.Circle_Num = cycle;
    st.Circle_Corr = 0.0f;
}

void get_circle(State& st, CycleWorkspace& work, std::string_view /*id_chr*/, std::span<const float> data,
                int16_t myData_Num) {
    const int N = myData_Num;
    std::vector<float>& f = work.power.f;
    std::vector<int16_t>& g = work.power.g;
    f.assign(kPadded, 0.0f);
    g.assign(kArrayLen, 0);

    // Smooth; N itself is not reduced.
    int16_t n_copy = myData_Num;
    Decode_Wave(data, n_copy, std::span<float>(f.data(), kArrayLen), work.power.smoothing);

    // Statements indexing past the working arrays are abandoned.
    const int nn = std::min(N, kArrayLen);

    // Maximum of the smoothed curve.
    float m = -999.0f;
    for (int i = 0; i < nn; ++i)
        if (f[static_cast<std::size_t>(i)] > m) m = f[static_cast<std::size_t>(i)];

    // Threshold: the highest ratio at which 8 % of the samples reach it.
    double r = 0.96;
    for (;;) {
        const double t = r * static_cast<double>(m);
        int count = 0;
        for (int i = 0; i < nn; ++i) {
            const auto ii = static_cast<std::size_t>(i);
            if (static_cast<double>(f[ii]) < t) {
                g[ii] = 0;
            } else {
                g[ii] = 1;
                ++count;
            }
        }
        if (cond([&] { return fdiv(static_cast<float>(count), static_cast<float>(N)) >= 0.08f; })) break;
        r = r - 0.02;
        if (r < 0.5) {
            st.Circle_Num = myData_Num;
            return;
        }
    }

    // The first region and its middle.
    int s = 0, e = 0;
    for (int i = 0; i < nn; ++i) {
        if (g[static_cast<std::size_t>(i)] != 0) {
            s = i;
            break;
        }
    }
    if (s < nn) g[static_cast<std::size_t>(s)] = 0;
    for (int j = s + 1; j < nn; ++j) {
        if (g[static_cast<std::size_t>(j)] == 0) {
            e = j;
            break;
        }
        g[static_cast<std::size_t>(j)] = 0;
    }
    const int p = static_cast<int>(std::floor(static_cast<float>(s + e - 1) / 2.0f));

    // Candidate scan: the lag whose shifted curve matches the first cycle best.
    int16_t L = 0;
    stmt([&] { L = to_i16(static_cast<float>(N - e + 1) / 2.0f + static_cast<float>(e) - 1.0f); });

    // Running sums of the first cycle from the middle: the same for every
    // candidate, each a prefix of the one sum in sample order.
    std::vector<float>& px = work.power.px;
    std::vector<float>& pxx = work.power.pxx;
    px.resize(kArrayLen + 1);  // written before they are read, up to xlen
    pxx.resize(kArrayLen + 1);
    px[0] = pxx[0] = 0.0f;
    // p is -1 only when no region starts before the record's end; then no
    // flag is left and no candidate reads the curve.
    const int xlen = p >= 0 ? std::max(0, nn - p) : 0;
    for (int j = 0; j < xlen; ++j) {
        const float x = f[static_cast<std::size_t>(p + j)];
        px[static_cast<std::size_t>(j) + 1] = px[static_cast<std::size_t>(j)] + x;
        pxx[static_cast<std::size_t>(j) + 1] = pxx[static_cast<std::size_t>(j)] + x * x;
    }

    const double tol = static_cast<double>(st.Circle_Tol);
    double best = 99.0;
    int best_lag = 0;
    double rho = 0.0;
    bool stopped = false;

    const int kend = std::min<int>(L, kArrayLen - 1);
    int k = e + kMinGap;
    while (k <= kend && !stopped) {
        // The next few candidates, evaluated side by side.
        int lag[lag_sums::kLanes], len[lag_sums::kLanes];
        const float* yb[lag_sums::kLanes];
        int lanes = 0;
        for (; k <= kend && lanes < lag_sums::kLanes; ++k) {
            if (g[static_cast<std::size_t>(k)] == 0) continue;
            const int lg = k - p;
            const int z =
                static_cast<int>(std::floor(static_cast<float>(N - p) / static_cast<float>(lg) - 1.0f));
            // A shift below one whole cycle would match the first cycle with
            // itself; such a lag is no candidate.
            if (z < 1) continue;
            const long last = static_cast<long>(p) + lg - 1 + static_cast<long>(z) * lg;
            if (last > kArrayLen - 1 || lg > xlen) continue;  // not reached for N <= 3001
            lag[lanes] = lg;
            len[lanes] = lg;
            // NOLINTNEXTLINE(bugprone-implicit-widening-of-multiplication-result): below kArrayLen, see above
            yb[lanes] = f.data() + p + z * lg;
            ++lanes;
        }
        if (lanes == 0) break;
        float sy[lag_sums::kLanes], syy[lag_sums::kLanes], sxy[lag_sums::kLanes];
        lag_sums::gathered(f.data() + p, yb, len, lanes, sy, syy, sxy);
        for (int l = 0; l < lanes; ++l) {
            const int lg = lag[l];
            const double Sx = px[static_cast<std::size_t>(lg)], Sxx = pxx[static_cast<std::size_t>(lg)];
            const double Lxx = Sxx - Sx * Sx / lg;
            const double Lyy = static_cast<double>(syy[l]) - static_cast<double>(sy[l]) * sy[l] / lg;
            const double Lxy = static_cast<double>(sxy[l]) - Sx * sy[l] / lg;
            // A flat stretch fails the division and rho keeps its value.
            if (const auto corr = correlation(Lxy, Lyy * Lxx)) rho = *corr;
            const double d = std::fabs(1.0 - rho);
            if (d <= tol) {
                if (d < best) {
                    best = d;
                    best_lag = lg;
                } else {
                    stopped = true;
                    break;
                }
            }
        }
    }
    if (stopped)
        stmt([&] { st.Circle_Num = fit_i16(best_lag + 1); });
    else
        st.Circle_Num = myData_Num;
    st.Circle_Corr = static_cast<float>(rho);
}

}  // namespace tavo
