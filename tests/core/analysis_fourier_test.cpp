// Harmonic analysis and synthesis, checked against the plain Fourier sums.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "analysis/fourier.h"
#include "common/fault.h"

namespace tavo {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<float> wave(int n, int k, double ca, double sa, double mean) {
    std::vector<float> x(static_cast<std::size_t>(n));
    for (int j = 0; j < n; ++j) {
        const double ph = 2.0 * kPi * k * j / n;
        x[static_cast<std::size_t>(j)] = static_cast<float>(mean + ca * std::cos(ph) + sa * std::sin(ph));
    }
    return x;
}

TEST(GetDft, ConstantCurveHasOnlyTheMean) {
    const auto x = wave(600, 0, 0.0, 0.0, 2.5);
    std::array<float, 4> A{}, B{};
    Get_DFT(x, 600, A, B, 3);
    EXPECT_NEAR(A[0], 5.0f, 1e-4);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_NEAR(A[k], 0.0f, 1e-3) << k;
        EXPECT_NEAR(B[k], 0.0f, 1e-3) << k;
    }
    EXPECT_EQ(B[0], 0.0f);  // the phasor starts at sin 0

    std::array<float, 144> y{};
    Put_DFT(y, 144, A, B, 4);
    for (float v : y) EXPECT_NEAR(v, 2.5f, 1e-3);
}

TEST(GetDft, PureCosineAndSineLandOnTheirHarmonic) {
    std::array<float, 8> A{}, B{};
    const auto c = wave(601, 3, 1.5, 0.0, 0.0);
    Get_DFT(c, 601, A, B, 7);
    EXPECT_NEAR(A[3], 1.5f, 1e-3);
    EXPECT_NEAR(B[3], 0.0f, 1e-3);
    EXPECT_NEAR(A[1], 0.0f, 1e-3);

    const auto s = wave(144, 1, 0.0, 2.0, 1.0);
    Get_DFT(s, 144, A, B, 7);
    EXPECT_NEAR(B[1], 2.0f, 1e-4);
    EXPECT_NEAR(A[1], 0.0f, 1e-4);
    EXPECT_NEAR(A[0], 2.0f, 1e-4);
}

TEST(GetDft, SingleSampleAndEmptyRange) {
    const std::array<float, 1> x{0.75f};
    std::array<float, 3> A{}, B{9.0f, 9.0f, 9.0f};
    Get_DFT(x, 1, A, B, 2);
    for (int k = 0; k <= 2; ++k) {
        EXPECT_EQ(A[k], 1.5f);
        EXPECT_EQ(B[k], 0.0f);
    }
    // K < 0 writes nothing.
    std::array<float, 2> A2{7.0f, 7.0f}, B2{7.0f, 7.0f};
    Get_DFT(x, 1, A2, B2, -1);
    EXPECT_EQ(A2[0], 7.0f);
}

TEST(GetDft, FaultsPassToTheCallerAfterTheLowerCoefficients) {
    const auto x = wave(100, 1, 1.0, 0.0, 0.0);
    std::array<float, 4> A{}, B{};
    EXPECT_THROW(Get_DFT(x, 0, A, B, 1), Fault);
    // Room for harmonics 0 and 1 only: both are written, then the fault.
    std::array<float, 2> A2{}, B2{};
    EXPECT_THROW(Get_DFT(x, 100, A2, B2, 5), Fault);
    EXPECT_NEAR(A2[1], 1.0f, 1e-4);
    // More samples asked for than the curve holds.
    EXPECT_THROW(Get_DFT(x, 101, A, B, 1), Fault);
}

TEST(PutDft, HarmonicBoundBelowTwoGivesTheMean) {
    const std::array<float, 3> A{3.0f, 1.0f, 1.0f}, B{0.0f, 1.0f, 1.0f};
    std::array<float, 10> y{};
    Put_DFT(y, 10, A, B, 1);
    for (float v : y) EXPECT_EQ(v, 1.5f);
    y.fill(0.0f);
    Put_DFT(y, 10, A, B, 0);
    for (float v : y) EXPECT_EQ(v, 1.5f);
    Put_DFT(y, 10, A, B, -3);
    for (float v : y) EXPECT_EQ(v, 1.5f);
    EXPECT_THROW(Put_DFT(y, 0, A, B, 2), Fault);
    EXPECT_THROW(Put_DFT(y, 11, A, B, 2), Fault);
}

TEST(PutDft, RoundTripOf144PointsKeepsAllButTheTopHarmonics) {
    // Harmonics 0..70 only: the round trip reproduces the curve.
    std::vector<float> x(144);
    for (int j = 0; j < 144; ++j) {
        double v = 20.0;
        for (int k = 1; k <= 70; k += 3) v += std::cos(2.0 * kPi * k * j / 144 + k) / k;
        x[static_cast<std::size_t>(j)] = static_cast<float>(v);
    }
    std::array<float, 72> A{}, B{};
    Get_DFT(x, 144, A, B, 71);
    std::array<float, 144> y{};
    Put_DFT(y, 144, A, B, 71);
    for (int j = 0; j < 144; ++j) EXPECT_NEAR(y[j], x[j], 5e-3) << j;  // single precision over 71 harmonics

    // Harmonic 72 (the alternating sequence) is not carried.
    for (int j = 0; j < 144; ++j) x[static_cast<std::size_t>(j)] = (j % 2) ? 1.0f : -1.0f;
    Get_DFT(x, 144, A, B, 71);
    Put_DFT(y, 144, A, B, 71);
    for (float v : y) EXPECT_NEAR(v, 0.0f, 5e-3);
}

TEST(PutDft, ResamplesOneCycleToAnotherLength) {
    const auto x = wave(733, 2, 0.5, -1.25, 3.0);
    std::array<float, 8> A{}, B{};
    Get_DFT(x, 733, A, B, 7);
    std::array<float, 144> y{};
    Put_DFT(y, 144, A, B, 8);
    const auto expect = wave(144, 2, 0.5, -1.25, 3.0);
    for (int j = 0; j < 144; ++j)
        EXPECT_NEAR(y[j], expect[static_cast<std::size_t>(j)], 1e-2) << j;  // single-precision recurrence
}

// The one-harmonic-at-a-time and one-point-at-a-time loops, step for step;
// the library runs harmonics and points side by side and must give the
// same bits.
void reference_get(const std::vector<float>& x, int n, std::vector<float>& A, std::vector<float>& B, int K) {
    const float w = static_cast<float>(6.28318530717958 / static_cast<double>(n));
    const float cw = static_cast<float>(std::cos(static_cast<double>(w)));
    const float sw = static_cast<float>(std::sin(static_cast<double>(w)));
    const float h = 2.0f / static_cast<float>(n);
    float c = 1.0f, s = 0.0f;
    for (int k = 0; k <= K; ++k) {
        float u1 = 0.0f, u2 = 0.0f;
        const float c2 = 2.0f * c;
        for (int j = n - 1; j >= 1; --j) {
            const float u0 = (x[static_cast<std::size_t>(j)] + c2 * u1) - u2;
            u2 = u1;
            u1 = u0;
        }
        A[static_cast<std::size_t>(k)] = h * ((x[0] + c * u1) - u2);
        B[static_cast<std::size_t>(k)] = (h * u1) * s;
        const float cn = c * cw - s * sw;
        const float sn = c * sw + s * cw;
        c = cn;
        s = sn;
    }
}

void reference_put(std::vector<float>& y, int m, const std::vector<float>& A, const std::vector<float>& B,
                   int H) {
    const float a = static_cast<float>(6.28318530717958 / static_cast<double>(m));
    for (int i = 0; i < m; ++i) {
        float out = A[0] / 2.0f;
        for (int j = 1; j <= H - 1; ++j) {
            const double ang = static_cast<double>((a * static_cast<float>(j)) * static_cast<float>(i));
            out = static_cast<float>((static_cast<double>(A[static_cast<std::size_t>(j)]) * std::cos(ang) +
                                      static_cast<double>(out)) +
                                     static_cast<double>(B[static_cast<std::size_t>(j)]) * std::sin(ang));
        }
        y[static_cast<std::size_t>(i)] = out;
    }
}

TEST(Fourier, SideBySideLanesGiveTheBitsOfTheOneByOneLoops) {
    // Lengths and harmonic counts around the lane widths, including partial
    // last groups; two shapes of each length so a cached table is reused
    // and replaced.
    uint32_t seed = 12345u;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f * 80.0f - 20.0f;
    };
    for (int n : {1, 2, 3, 17, 144, 501, 733}) {
        std::vector<float> x(static_cast<std::size_t>(n));
        for (float& v : x) v = next();
        for (int K : {0, 1, 7, 23, 24, 25, 31, 71}) {
            std::vector<float> A(static_cast<std::size_t>(K) + 1), B(A.size()), RA(A.size()), RB(A.size());
            Get_DFT(x, static_cast<int16_t>(n), A, B, static_cast<int16_t>(K));
            reference_get(x, n, RA, RB, K);
            for (int k = 0; k <= K; ++k) {
                ASSERT_EQ(std::bit_cast<uint32_t>(A[static_cast<std::size_t>(k)]),
                          std::bit_cast<uint32_t>(RA[static_cast<std::size_t>(k)]))
                    << "n " << n << " K " << K << " A " << k;
                ASSERT_EQ(std::bit_cast<uint32_t>(B[static_cast<std::size_t>(k)]),
                          std::bit_cast<uint32_t>(RB[static_cast<std::size_t>(k)]))
                    << "n " << n << " K " << K << " B " << k;
            }
            for (int m : {1, 15, 16, 17, 144, 601}) {
                const int H = K + 1;
                std::vector<float> y(static_cast<std::size_t>(m)), r(y.size());
                Put_DFT(y, static_cast<int16_t>(m), A, B, static_cast<int16_t>(H));
                reference_put(r, m, A, B, H);
                for (int i = 0; i < m; ++i)
                    ASSERT_EQ(std::bit_cast<uint32_t>(y[static_cast<std::size_t>(i)]),
                              std::bit_cast<uint32_t>(r[static_cast<std::size_t>(i)]))
                        << "m " << m << " H " << H << " point " << i;
            }
        }
    }
}

}  // namespace
}  // namespace tavo
