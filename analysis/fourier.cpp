#include "analysis/fourier.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "common/fault.h"
#include "common/widest_vectors.h"

namespace tavo {

namespace {
constexpr double kTwoPi = 6.28318530717958;

typedef float v8f __attribute__((vector_size(32)));
typedef double v2d __attribute__((vector_size(16)));
typedef float v2f __attribute__((vector_size(8)));

// Harmonics whose recurrences run side by side: each lane repeats exactly
// the single-precision steps of one harmonic, in the same sample order, so
// the coefficients are those of the one-at-a-time loop. The 72 harmonics of
// the exchange text's resampling fit one pass.
constexpr int kVecs = 9;
constexpr int kHarmonicLanes = 8 * kVecs;

// The recurrences of kHarmonicLanes harmonics over x[n-1] down to x[1]:
// u0 = (x[j] + 2cos·u1) - u2, from u1 = u2 = 0.
TAVO_WIDEST_VECTORS
void harmonic_recurrences(const float* xs, int n, const v8f* c2_in, v8f* u1_out, v8f* u2_out) {
    v8f c2[kVecs], u1[kVecs], u2[kVecs];
    for (int v = 0; v < kVecs; ++v) {
        c2[v] = c2_in[v];
        u1[v] = v8f{};
        u2[v] = v8f{};
    }
    for (int j = n - 1; j >= 1; --j) {
        const float xj = xs[j];
        const v8f xv = {xj, xj, xj, xj, xj, xj, xj, xj};
#pragma GCC unroll 9
        for (int v = 0; v < kVecs; ++v) {
            const v8f u0 = (xv + c2[v] * u1[v]) - u2[v];
            u2[v] = u1[v];
            u1[v] = u0;
        }
    }
    for (int v = 0; v < kVecs; ++v) {
        u1_out[v] = u1[v];
        u2_out[v] = u2[v];
    }
}

// Put_DFT's angle of harmonic j at point i, in single precision.
inline double synthesis_angle(float a, int j, int i) {
    return static_cast<double>((a * static_cast<float>(j)) * static_cast<float>(i));
}

// The cosines and sines of Put_DFT's angles (a·j)·i depend only on the
// number of points and harmonics, so one table serves every curve; each
// thread keeps the table of the last shape it synthesised.
constexpr std::size_t kPointVecs = 8, kPointLanes = 2 * kPointVecs;

struct AngleTable {
    int16_t points = -1, harmonics = -1;
    std::size_t stride = 0;              // points rounded up to whole lanes, padded with 0
    std::vector<double> cos_ji, sin_ji;  // [(j - 1) * stride + i]
};

const AngleTable& angle_table(int16_t tt_num, int16_t dftt_num, float a) {
    thread_local AngleTable t;
    if (t.points == tt_num && t.harmonics == dftt_num) return t;
    t.stride = (static_cast<std::size_t>(tt_num) + kPointLanes - 1) / kPointLanes * kPointLanes;
    const std::size_t count = t.stride * static_cast<std::size_t>(dftt_num - 1);
    t.cos_ji.assign(count, 0.0);
    t.sin_ji.assign(count, 0.0);
    for (int j = 1; j <= dftt_num - 1; ++j) {
        for (int i = 0; i < tt_num; ++i) {
            const double angle = synthesis_angle(a, j, i);
            const std::size_t at_ji =
                static_cast<std::size_t>(j - 1) * t.stride + static_cast<std::size_t>(i);
            t.cos_ji[at_ji] = std::cos(angle);
            t.sin_ji[at_ji] = std::sin(angle);
        }
    }
    t.points = tt_num;
    t.harmonics = dftt_num;
    return t;
}

}  // namespace

void Get_DFT(std::span<const float> x, int16_t n, std::span<float> A, std::span<float> B, int16_t K) {
    // Every step is stored in single precision, as the tester's software did.
    const float w = static_cast<float>(ddiv(kTwoPi, static_cast<double>(n)));
    const float cw = static_cast<float>(std::cos(static_cast<double>(w)));
    const float sw = static_cast<float>(std::sin(static_cast<double>(w)));
    const float h = fdiv(2.0f, static_cast<float>(n));
    if (K < 0) return;
    const std::size_t harmonics = static_cast<std::size_t>(K) + 1;

    // The rotation that gives each harmonic's cosine and sine, in order.
    std::vector<float> c(harmonics), s(harmonics);
    float ck = 1.0f, sk = 0.0f;
    for (std::size_t k = 0; k < harmonics; ++k) {
        c[k] = ck;
        s[k] = sk;
        const float cn = ck * cw - sk * sw;
        const float sn = ck * sw + sk * cw;
        ck = cn;
        sk = sn;
    }
    // A[k] and B[k] from the last two values of harmonic k's recurrence.
    auto store = [&](std::size_t k, float u1, float u2) {
        at(A, static_cast<long>(k)) = h * ((at(x, 0) + c[k] * u1) - u2);
        at(B, static_cast<long>(k)) = (h * u1) * s[k];
    };

    if (n < 1 || x.size() < static_cast<std::size_t>(n) || A.size() < harmonics || B.size() < harmonics) {
        // One harmonic at a time: the Fault of a short array comes after the
        // lower coefficients are written, as callers of the tester's
        // software saw it.
        for (std::size_t k = 0; k < harmonics; ++k) {
            float u1 = 0.0f, u2 = 0.0f;
            const float c2 = 2.0f * c[k];
            if (n - 1 >= 1) {
                (void)at(x, n - 1);
                for (int j = n - 1; j >= 1; --j) {
                    const float u0 = (x[static_cast<std::size_t>(j)] + c2 * u1) - u2;
                    u2 = u1;
                    u1 = u0;
                }
            }
            store(k, u1, u2);
        }
        return;
    }

    const float* xs = x.data();
    for (std::size_t k0 = 0; k0 < harmonics; k0 += kHarmonicLanes) {
        v8f c2[kVecs], u1[kVecs], u2[kVecs];
        for (int v = 0; v < kVecs; ++v) {
            for (int l = 0; l < 8; ++l) {
                const std::size_t k = k0 + static_cast<std::size_t>(8 * v + l);
                c2[v][l] = k < harmonics ? 2.0f * c[k] : 0.0f;
            }
        }
        harmonic_recurrences(xs, n, c2, u1, u2);
        for (int v = 0; v < kVecs; ++v) {
            for (int l = 0; l < 8; ++l) {
                const std::size_t k = k0 + static_cast<std::size_t>(8 * v + l);
                if (k >= harmonics) break;
                store(k, u1[v][l], u2[v][l]);
            }
        }
    }
}

void Put_DFT(std::span<float> pps1, int16_t tt_num, std::span<const float> pcos, std::span<const float> psin,
             int16_t dftt_num) {
    const float a = static_cast<float>(ddiv(kTwoPi, static_cast<double>(tt_num)));
    const bool sized = pps1.size() >= static_cast<std::size_t>(tt_num > 0 ? tt_num : 0) && !pcos.empty() &&
                       (dftt_num <= 1 || (pcos.size() >= static_cast<std::size_t>(dftt_num) &&
                                          psin.size() >= static_cast<std::size_t>(dftt_num)));
    if (!sized || tt_num <= 0 || dftt_num <= 1) {
        // Point by point, with the checks where the tester's software had them.
        for (int i = 0; i < tt_num; ++i) {
            float& out = at(pps1, i);
            out = at(pcos, 0) / 2.0f;
            for (int j = 1; j <= dftt_num - 1; ++j) {
                const double ang = synthesis_angle(a, j, i);
                const double v =
                    (static_cast<double>(at(pcos, j)) * std::cos(ang) + static_cast<double>(out)) +
                    static_cast<double>(at(psin, j)) * std::sin(ang);
                out = static_cast<float>(v);
            }
        }
        return;
    }

    // Points side by side, two to a vector; each keeps its running value
    // rounded to single precision after every harmonic, as above.
    const AngleTable& t = angle_table(tt_num, dftt_num, a);
    const float mean = pcos[0] / 2.0f;
    const std::size_t points = static_cast<std::size_t>(tt_num);
    for (std::size_t i0 = 0; i0 < points; i0 += kPointLanes) {
        const std::size_t lanes = points - i0 < kPointLanes ? points - i0 : kPointLanes;
        v2d out[kPointVecs];
        for (auto& o : out) o = v2d{mean, mean};
        for (int j = 1; j <= dftt_num - 1; ++j) {
            const double pc = pcos[static_cast<std::size_t>(j)], ps = psin[static_cast<std::size_t>(j)];
            const v2d pcv = {pc, pc}, psv = {ps, ps};
            const std::size_t row = static_cast<std::size_t>(j - 1) * t.stride + i0;
            const double* cr = t.cos_ji.data() + row;
            const double* sr = t.sin_ji.data() + row;
#pragma GCC unroll 8
            for (std::size_t v = 0; v < kPointVecs; ++v) {
                v2d cv, sv;
                std::memcpy(&cv, cr + 2 * v, sizeof cv);
                std::memcpy(&sv, sr + 2 * v, sizeof sv);
                const v2d sum = (pcv * cv + out[v]) + psv * sv;
                out[v] = __builtin_convertvector(__builtin_convertvector(sum, v2f), v2d);
            }
        }
        for (std::size_t p = 0; p < lanes; ++p) pps1[i0 + p] = static_cast<float>(out[p / 2][p % 2]);
    }
}

}  // namespace tavo
