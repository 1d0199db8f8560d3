// Harmonic analysis and synthesis, checked against the plain Fourier sums.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
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

}  // namespace
}  // namespace tavo
