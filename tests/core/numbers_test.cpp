#include "common/numbers.h"

#include <gtest/gtest.h>

#include "common/fault.h"

namespace tavo {
namespace {

TEST(ToI16, HalvesToEvenAndFailsOutsideTheRange) {
    EXPECT_EQ(to_i16(2.5), 2);
    EXPECT_EQ(to_i16(3.5), 4);
    EXPECT_EQ(to_i16(-2.5), -2);
    EXPECT_EQ(to_i16(32767.4), 32767);
    EXPECT_EQ(to_i16(-32768.5), -32768);
    EXPECT_THROW(to_i16(32767.5), Fault);
    EXPECT_THROW(to_i16(-32769.0), Fault);
    EXPECT_THROW(to_i16(std::nan("")), Fault);
    EXPECT_EQ(to_i16_saturated(1e9), 32767);
    EXPECT_EQ(to_i16_saturated(-1e9), -32768);
    EXPECT_EQ(to_i16_saturated(std::nan("")), 0);
}

TEST(Roundings, HalvesUpAlsoForNegativeValues) {
    EXPECT_EQ(floor_half_up(2.5), 3.0);
    EXPECT_EQ(floor_half_up(-2.5), -2.0);
    EXPECT_EQ(floor_down(-0.5), -1.0);
    EXPECT_EQ(R1(29.52), 29.5);
    EXPECT_EQ(R2(0.8), 0.8);
    EXPECT_EQ(R2(-0.125), -0.12);
    EXPECT_EQ(R3(0.6185), 0.619);
}

TEST(FailureRule, AFailedStatementKeepsItsTargetAndTheRestRuns) {
    float a = 7.0f, b = 0.0f;
    int ran = 0;
    EXPECT_FALSE(stmt([&] { a = fdiv(1.0f, b); }));
    EXPECT_EQ(a, 7.0f);
    EXPECT_TRUE(stmt([&] { ++ran; }));
    EXPECT_EQ(ran, 1);
    EXPECT_THROW(fdiv(0.0f, 0.0f), Fault);
    EXPECT_THROW(fdiv(3e38f, 1e-10f), Fault);  // overflow to infinity
    EXPECT_THROW(dsqrt(-1.0), Fault);
    std::array<float, 3> arr{};
    EXPECT_THROW(at(arr, 3), Fault);
    EXPECT_THROW(at(arr, -1), Fault);
    EXPECT_NO_THROW(at(arr, 2) = 1.0f);
}

}  // namespace
}  // namespace tavo
