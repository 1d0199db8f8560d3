// Smoothing and the two stroke-cycle detectors on curves of known period.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "analysis/decode_wave.h"
#include "analysis/detect_cycle.h"
#include "record/state.h"

namespace tavo {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Displacement of a pumping unit: a smooth stroke of `stroke` metres.
SampleArray rod(int period, double stroke, int phase = 37, int n = 3000) {
    SampleArray a{};
    for (int i = 0; i < n; ++i)
        a[static_cast<std::size_t>(i)] =
            static_cast<float>(0.2 + stroke / 2.0 * (1.0 - std::cos(2.0 * kPi * (i + phase) / period)));
    return a;
}

// A triangular stroke whose upper turning point lies at index 250, inside
// the correlation window, so that long periods are read exactly too.
SampleArray tri_rod(int period, double stroke = 3.0) {
    SampleArray a{};
    const int phase = period / 2 - 250;
    for (int i = 0; i < 3000; ++i) {
        const double u = std::fmod(static_cast<double>(i + phase), period) / period;
        a[static_cast<std::size_t>(i)] =
            static_cast<float>(0.2 + stroke * (u < 0.5 ? 2.0 * u : 2.0 - 2.0 * u));
    }
    return a;
}

// Motor power: one hump per stroke, in sixteenths so that every running sum
// is exact and the smoothed curve repeats bit for bit.
SampleArray power(int period, int phase = 60, int n = 3000) {
    SampleArray a{};
    for (int i = 0; i < n; ++i) {
        const double v = 10.0 + 6.0 * std::cos(2.0 * kPi * (i + phase) / period);
        a[static_cast<std::size_t>(i)] = static_cast<float>(std::round(v * 16.0) / 16.0);
    }
    return a;
}

struct Detect : ::testing::Test {
    std::unique_ptr<State> st = std::make_unique<State>();
    CycleWorkspace work;
    void SetUp() override { st->Circle_Tol = 0.02f; }
};

TEST(DecodeWave, AdvancedMovingAverage) {
    SampleArray data{};
    for (int i = 0; i < 3000; ++i) data[static_cast<std::size_t>(i)] = static_cast<float>(i % 7);
    SampleArray out{};
    out.fill(-1.0f);
    int16_t n = 3000;
    std::vector<float> work;
    Decode_Wave(data, n, out, work);
    EXPECT_EQ(n, 2980);
    float first = 0.0f, last = 0.0f;
    for (int i = 1; i <= 20; ++i) first += data[static_cast<std::size_t>(i)];
    for (int i = 2980; i <= 2999; ++i) last += data[static_cast<std::size_t>(i)];
    EXPECT_EQ(out[0], first / 20.0f);
    EXPECT_EQ(out[2979], last / 20.0f);
    EXPECT_EQ(out[2980], -1.0f);  // untouched past the output
}

TEST(DecodeWave, ConstantAndTooShortInputs) {
    SampleArray data{};
    data.fill(0.37f);
    SampleArray out{};
    int16_t n = 3000;
    std::vector<float> work;
    Decode_Wave(data, n, out, work);
    for (int i = 0; i < 2980; ++i) EXPECT_NEAR(out[static_cast<std::size_t>(i)], 0.37f, 1e-5f);

    for (int16_t start : {int16_t{20}, int16_t{5}, int16_t{0}, int16_t{-3}}) {
        out.fill(4.0f);
        int16_t m = start;
        Decode_Wave(data, m, out, work);
        EXPECT_EQ(m, start - 20);
        EXPECT_EQ(out[0], 4.0f) << start;
    }
}

TEST_F(Detect, SssFlatCurveIsNotACycle) {
    SampleArray a = rod(600, 0.25);
    const SampleArray before = a;
    st->Circle_Corr = 0.5f;
    get_circle_sss(*st, work, a, 3000);
    EXPECT_EQ(st->Circle_Num, 3000);
    EXPECT_EQ(st->Circle_Corr, 0.0f);
    EXPECT_EQ(a, before);
}

TEST_F(Detect, SssLowersTheCurveEvenWithoutAPeriod) {
    SampleArray a{};
    for (int i = 0; i < 3000; ++i) a[static_cast<std::size_t>(i)] = 1.0f + static_cast<float>(i) / 1000.0f;
    get_circle_sss(*st, work, a, 3000);
    EXPECT_EQ(st->Circle_Num, 3000);
    EXPECT_EQ(a[0], 0.0f);
    EXPECT_EQ(a[3000], 0.0f);  // only samples 0..N-1 move
}

TEST_F(Detect, SssFindsOneMoreThanThePeriod) {
    // The first correlation run peaks at lag P, index P + 1.
    auto check = [&](SampleArray a, int period) {
        get_circle_sss(*st, work, a, 3000);
        EXPECT_EQ(st->Circle_Num, period + 1) << period;
        EXPECT_EQ(st->Circle_Corr, 0.0f);
        float mn = a[0];
        for (int i = 0; i < 3000; ++i) mn = std::min(mn, a[static_cast<std::size_t>(i)]);
        EXPECT_EQ(mn, 0.0f);
    };
    // Several runs from index 200; 700 and 1000 have fewer than four, so
    // the search restarts from 400 on the arrays of the first pass.
    for (int period : {209, 250, 600, 700, 901, 1000}) check(rod(period, 3.0), period);
    for (int period : {1500, 2000, 2449, 2450}) check(tri_rod(period), period);
}

TEST_F(Detect, SssOrientationDoesNotMatter) {
    // The first sample in the lower half of the range: the curve is flipped.
    SampleArray a = rod(700, 2.0, 0);
    get_circle_sss(*st, work, a, 3000);
    EXPECT_EQ(st->Circle_Num, 701);
    SampleArray b = rod(700, 2.0, 350);
    get_circle_sss(*st, work, b, 3000);
    EXPECT_EQ(st->Circle_Num, 701);
}

TEST_F(Detect, PowerCurveOfKnownPeriod) {
    for (int period : {300, 550, 800, 1000}) {
        const SampleArray p = power(period);
        st->Circle_Corr = 0.0f;
        get_circle(*st, work, "first_ppp", p, 3000);
        EXPECT_EQ(st->Circle_Num, period + 1) << period;
        EXPECT_GT(st->Circle_Corr, 0.98f) << period;
    }
}

TEST_F(Detect, PowerScanStopsOnlyAfterAnImprovement) {
    const SampleArray p = power(800);
    get_circle(*st, work, "first_ppp", p, 3000);
    EXPECT_EQ(st->Circle_Num, 801);

    // Every candidate within the tolerance: the first cannot stop the scan
    // (nothing to compare with, so never a cycle of 1), and the scan stops at
    // the first one that does not improve, well before the true period.
    st->Circle_Tol = 1e30f;
    get_circle(*st, work, "first_ppp", p, 3000);
    EXPECT_GT(st->Circle_Num, 191);
    EXPECT_LT(st->Circle_Num, 800);

    // Only the exact match is within the tolerance: a single improving
    // candidate and nothing after it, so no cycle.
    st->Circle_Tol = 0.0f;
    get_circle(*st, work, "first_ppp", p, 3000);
    EXPECT_EQ(st->Circle_Num, 3000);
    EXPECT_NE(st->Circle_Corr, 0.0f);  // the last candidate evaluated
    EXPECT_NE(st->Circle_Corr, 1.0f);

    // Nothing within the tolerance.
    st->Circle_Tol = -1.0f;
    get_circle(*st, work, "first_ppp", p, 3000);
    EXPECT_EQ(st->Circle_Num, 3000);
    EXPECT_NE(st->Circle_Corr, 0.0f);
}

TEST_F(Detect, PowerWithoutPeakRegionsKeepsTheCorrelation) {
    // A single short spike: fewer than 8 % of the samples reach 0.52 of the
    // maximum at any ratio.
    SampleArray p{};
    p.fill(1.0f);
    for (int i = 1000; i < 1100; ++i) p[static_cast<std::size_t>(i)] = 50.0f;
    st->Circle_Corr = 0.25f;
    get_circle(*st, work, "first_ppp", p, 3000);
    EXPECT_EQ(st->Circle_Num, 3000);
    EXPECT_EQ(st->Circle_Corr, 0.25f);
}

TEST_F(Detect, PowerRegionReachingTheEndGivesN) {
    SampleArray p{};
    p.fill(2.0f);
    st->Circle_Corr = 0.25f;
    get_circle(*st, work, "first_ppp", p, 3000);
    EXPECT_EQ(st->Circle_Num, 3000);
    EXPECT_EQ(st->Circle_Corr, 0.0f);  // no candidate evaluated
}

TEST_F(Detect, PowerLagWithoutAWholeShiftIsNoCandidate) {
    // In 2500 samples a 1400-sample period leaves no room for a whole-cycle
    // shift: each candidate would only compare the first cycle with itself
    // (correlation 1) and the scan would stop at a meaningless lag.
    const SampleArray p = power(1400);
    get_circle(*st, work, "secand_ppp", p, 2500);
    EXPECT_EQ(st->Circle_Num, 2500);
    EXPECT_LT(st->Circle_Corr, 0.9f);  // only the poorly matching short lags were tried
}

TEST_F(Detect, PowerUsesOnlyTheSamplesGiven) {
    SampleArray p = power(600);
    get_circle(*st, work, "secand_ppp", p, 2500);
    const int16_t clean = st->Circle_Num;
    const float corr = st->Circle_Corr;
    EXPECT_EQ(clean, 601);
    for (int i = 2500; i < 3001; ++i) p[static_cast<std::size_t>(i)] = 99.0f;
    get_circle(*st, work, "anything", p, 2500);
    EXPECT_EQ(st->Circle_Num, clean);
    EXPECT_EQ(st->Circle_Corr, corr);
}

TEST_F(Detect, AWorkspaceCarriesNothingFromOneCallToTheNext) {
    // Each detector run first on another curve (which fills the blocks),
    // then on the curve checked: the same result as in a fresh workspace.
    const SampleArray p = power(550), other_p = power(1000);
    const SampleArray a = rod(700, 2.0), other_a = tri_rod(1500);
    CycleWorkspace fresh;
    auto alone = std::make_unique<State>();
    alone->Circle_Tol = 0.02f;
    get_circle(*alone, fresh, "first_ppp", p, 3000);
    get_circle(*st, work, "first_ppp", other_p, 3000);
    get_circle(*st, work, "first_ppp", p, 3000);
    EXPECT_EQ(st->Circle_Num, alone->Circle_Num);
    EXPECT_EQ(st->Circle_Corr, alone->Circle_Corr);

    SampleArray a1 = a, a2 = other_a, a3 = a;
    CycleWorkspace fresh_sss;
    get_circle_sss(*alone, fresh_sss, a1, 3000);
    get_circle_sss(*st, work, a2, 3000);
    get_circle_sss(*st, work, a3, 3000);
    EXPECT_EQ(st->Circle_Num, alone->Circle_Num);
    EXPECT_EQ(a3, a1);
}

TEST_F(Detect, DegenerateCountsDoNotFault) {
    SampleArray p = power(600);
    for (int16_t n : {int16_t{0}, int16_t{1}, int16_t{-5}, int16_t{30}, int16_t{32767}}) {
        get_circle(*st, work, "first_ppp", p, n);
        SampleArray a = rod(600, 3.0);
        get_circle_sss(*st, work, a, n);
    }
    SUCCEED();
}

}  // namespace
}  // namespace tavo
