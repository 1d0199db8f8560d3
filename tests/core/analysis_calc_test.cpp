// The electrical and card calculations over one cycle.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "analysis/card_calc.h"
#include "analysis/power_calc.h"
#include "common/numbers.h"
#include "record/state.h"

namespace tavo {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Power : ::testing::Test {
    std::unique_ptr<State> st = std::make_unique<State>();
    void cycle(int n) {
        st->Pow_Circle_Num = static_cast<int16_t>(n);
        for (int i = 0; i < n; ++i) {
            const auto ii = static_cast<std::size_t>(i);
            st->Vol_Dat[ii] = 380.0f;
            st->Cur_Dat[ii] = 20.0f;
            st->Pow_Dat[ii] = 10.0f;
            st->Var_Dat[ii] = 5.0f;
            st->VA_Dat[ii] = 12.5f;
        }
    }
};

TEST_F(Power, ZeroCountsAsPositive) {
    cycle(4);
    const float PQ[4][2] = {{0.0f, 0.0f}, {0.0f, -1.0f}, {-2.0f, 0.0f}, {-2.0f, -1.0f}};
    for (std::size_t i = 0; i < 4; ++i) {
        st->Pow_Dat[i] = PQ[i][0];
        st->Var_Dat[i] = PQ[i][1];
    }
    Calc_Power_Data(*st);
    EXPECT_EQ(st->Quad_Num[1], 1.0f);  // P = 0, Q = 0
    EXPECT_EQ(st->Quad_Num[4], 1.0f);  // P = 0, Q < 0
    EXPECT_EQ(st->Quad_Num[2], 1.0f);  // P < 0, Q = 0
    EXPECT_EQ(st->Quad_Num[3], 1.0f);
    EXPECT_EQ(st->Quad_Num[5], 4.0f);
    // Negative power factors of quadrants 2 and 3 count by magnitude.
    EXPECT_EQ(st->Quad_PF[2], -0.16f);
    EXPECT_EQ(st->Quad_PF[3], -0.16f);
    EXPECT_EQ(st->Quad_PF[5], static_cast<float>(0.04 + 0.04));
}

TEST_F(Power, OneQuadrantCycle) {
    cycle(600);
    st->head.Test_Mode = 16385;
    Calc_Power_Data(*st);
    EXPECT_EQ(st->Quad_Num[1], 600.0f);
    EXPECT_EQ(st->Quad_Num[5], 600.0f);
    for (std::size_t q = 2; q <= 4; ++q) {
        EXPECT_EQ(st->Quad_Num[q], 0.0f);
        EXPECT_EQ(st->Quad_PF[q], 0.0f);
        EXPECT_EQ(st->Quad_Cur[q], 0.0f);
    }
    EXPECT_EQ(st->Quad_Pow[5], 10.0f);
    EXPECT_EQ(st->Quad_VA[5], 12.5f);
    EXPECT_EQ(st->Quad_PF[1], 0.8f);
    EXPECT_EQ(st->Quad_PF[5], 0.8f);
    EXPECT_EQ(st->Text3[1], "10");
    EXPECT_EQ(st->Text3[3], "10/10");
    EXPECT_EQ(st->Text3[4], "20/20");
    EXPECT_EQ(st->Text3[5], "380");
    EXPECT_EQ(st->Text3[6], "20");
    EXPECT_EQ(st->Text3[7], "12.5");
    EXPECT_EQ(st->Text3[8], "5");
    EXPECT_EQ(st->Text3[9], "0.8");
    EXPECT_EQ(st->Text3[10], "20");
    EXPECT_EQ(st->Text3[11], "10");
    EXPECT_EQ(st->Pow_Mode, 16385);
}

TEST_F(Power, StrokeHalves) {
    // The middle sample carries the only high current and power.
    struct Case {
        int n, mid;
        double up, down;
    };
    for (const Case c : {Case{300, 150, 1, 9}, Case{301, 150, 9, 9}, Case{303, 151, 1, 1}}) {
        cycle(c.n);
        st->Cur_Dat[static_cast<std::size_t>(c.mid)] = 90.0f;
        for (int i = 0; i < c.n; ++i) st->Cur_Dat[static_cast<std::size_t>(i)] = i == c.mid ? 9.0f : 1.0f;
        Calc_Power_Data(*st);
        EXPECT_EQ(st->Max_Up_Cur, c.up) << c.n;
        EXPECT_EQ(st->Max_Down_Cur, c.down) << c.n;
    }
    // Mean power of each half; texts joined without their sign blanks.
    cycle(300);
    for (int i = 0; i < 300; ++i) st->Pow_Dat[static_cast<std::size_t>(i)] = i < 150 ? 0.5f : 3.0f;
    Calc_Power_Data(*st);
    EXPECT_EQ(st->Avg_Up_Pow, 0.5);
    EXPECT_EQ(st->Avg_Down_Pow, 3.0);
    EXPECT_EQ(st->Text3[3], ".5/3");
    EXPECT_EQ(st->Text3[1], "1.8");  // R1(1.75) rounds half up
}

TEST_F(Power, NegativeCurrentsLeaveTheMaximumAtZero) {
    cycle(100);
    for (int i = 0; i < 100; ++i) st->Cur_Dat[static_cast<std::size_t>(i)] = -3.0f;
    st->Max_Up_Cur = 7.0;
    Calc_Power_Data(*st);
    EXPECT_EQ(st->Max_Up_Cur, 0.0);
    EXPECT_EQ(st->Max_Down_Cur, 0.0);
}

TEST_F(Power, EmptyCycleKeepsTheBoxesThatDivideByN) {
    cycle(600);
    Calc_Power_Data(*st);
    st->Pow_Circle_Num = 0;
    Calc_Power_Data(*st);
    EXPECT_EQ(st->Quad_Num[5], 0.0f);
    EXPECT_EQ(st->Text3[1], "0");
    EXPECT_EQ(st->Text3[3], "0/0");
    EXPECT_EQ(st->Text3[9], "0");
    EXPECT_EQ(st->Text3[5], "380");
    EXPECT_EQ(st->Text3[10], "20");
    EXPECT_EQ(st->Text3[11], "10");
}

struct Card : ::testing::Test {
    std::unique_ptr<State> st = std::make_unique<State>();
    // A card of n samples: displacement lo..lo+stroke, load base..base+amp,
    // higher while the rod rises when sense = 1.
    void card(int n, double lo, double stroke, double base, double amp, int sense = 1) {
        st->Circle_Num = static_cast<int16_t>(n);
        st->Rec_Spd = "1";
        for (int i = 0; i < n; ++i) {
            const double ph = 2.0 * kPi * i / n;
            st->Pos_Dat[static_cast<std::size_t>(i)] =
                static_cast<float>(lo + stroke * (1.0 - std::cos(ph)) / 2.0);
            st->Force_Dat[static_cast<std::size_t>(i)] =
                static_cast<float>(base + amp / 2.0 * (1.0 + sense * std::sin(ph)));
        }
    }
};

TEST_F(Card, RegularCard) {
    card(600, 0.0, 3.0, 20.0, 10.0);
    Calc_Sgt_Data(*st);
    EXPECT_EQ(st->Sgt_Period, 600);
    EXPECT_EQ(st->Sgt_Stroke, 3000);
    EXPECT_EQ(st->Sgt_MaxLoad, 3000);
    EXPECT_EQ(st->Sgt_MinLoad, 2000);
    // Area of the ellipse: pi/4 * stroke * load range.
    EXPECT_NEAR(st->Sgt_Work, kPi / 4.0 * 3.0 * 10.0, 0.05);
    EXPECT_EQ(st->Sgt_Power,
              static_cast<float>(floor_half_up(static_cast<double>(st->Sgt_Work * 50.0f / 600.0f * 100.0f)) /
                                 100.0));
    EXPECT_NEAR(st->Sgt_Power, st->Sgt_Work / 12.0f, 0.006);
    EXPECT_EQ(st->Text3[12], " 3");
    EXPECT_EQ(st->Text3[13], " 5");
    EXPECT_EQ(st->Text3[2], "1.96");

    // Traversed the other way round: negative work and power.
    card(600, 0.0, 3.0, 20.0, 10.0, -1);
    Calc_Sgt_Data(*st);
    EXPECT_LT(st->Sgt_Work, -23.0f);
    EXPECT_LT(st->Sgt_Power, 0.0f);
}

TEST_F(Card, LowLoadAndShortStroke) {
    card(500, 0.0, 2.0, 1.0, 2.0);  // at most 3 kN
    Calc_Sgt_Data(*st);
    EXPECT_EQ(st->Sgt_MaxLoad, 0);
    EXPECT_EQ(st->Sgt_MinLoad, 0);
    EXPECT_EQ(st->Sgt_Work, 0.0f);
    EXPECT_EQ(st->Sgt_Power, 0.0f);
    EXPECT_EQ(st->Sgt_Stroke, 2000);

    card(500, 0.0, 0.3, 20.0, 10.0);  // at most 0.3 m
    Calc_Sgt_Data(*st);
    EXPECT_EQ(st->Sgt_Stroke, 0);
    EXPECT_EQ(st->Text3[12], " 0");
    EXPECT_EQ(st->Sgt_MaxLoad, 3000);
    EXPECT_GT(st->Sgt_Work, 0.0f);
}

TEST_F(Card, NormalisationMovesTheWholeRecord) {
    card(600, 0.2, 1.5, -1.5, 10.0);
    for (int i = 600; i < 3000; ++i) {
        st->Pos_Dat[static_cast<std::size_t>(i)] = 1.0f;
        st->Force_Dat[static_cast<std::size_t>(i)] = 2.0f;
    }
    st->Pos_Dat[3000] = 5.0f;
    Calc_Sgt_Data(*st);
    EXPECT_EQ(st->Sgt_MinLoad, 0);
    EXPECT_EQ(st->Sgt_MaxLoad, 1000);
    EXPECT_EQ(st->Sgt_Stroke, 1500);
    EXPECT_EQ(st->Pos_Dat[0], 0.0f);
    EXPECT_EQ(st->Force_Dat[450], 0.0f);
    // Samples past the cycle get the same offsets: no step at index n.
    EXPECT_EQ(st->Pos_Dat[600], 1.0f - 0.2f);
    EXPECT_EQ(st->Force_Dat[2999], 2.0f + 1.5f);
    EXPECT_EQ(st->Pos_Dat[3000], 5.0f);  // index 3000 holds no sample
}

TEST_F(Card, ScaledLoadsRoundHalfUp) {
    card(300, 0.0, 1.0, 5.0, 1.0);
    st->Force_Dat[10] = 12.34f;
    Calc_Sgt_Data(*st);
    EXPECT_EQ(st->Sgt_MaxLoad, 1234);
    card(300, 0.0, 1.0, 5.0, 1.0);
    st->Force_Dat[10] = 12.345f;
    Calc_Sgt_Data(*st);
    EXPECT_EQ(st->Sgt_MaxLoad, 1235);
}

TEST_F(Card, DegenerateCycles) {
    card(600, 0.0, 3.0, 20.0, 10.0);
    Calc_Sgt_Data(*st);
    const float power = st->Sgt_Power;
    const std::string spm = st->Text3[13];

    st->Circle_Num = 0;
    Calc_Sgt_Data(*st);
    EXPECT_EQ(st->Sgt_MaxLoad, 0);
    EXPECT_EQ(st->Sgt_MinLoad, 0);
    EXPECT_EQ(st->Sgt_Stroke, 0);
    EXPECT_EQ(st->Sgt_Work, 0.0f);
    EXPECT_EQ(st->Sgt_Period, 0);
    EXPECT_EQ(st->Sgt_Power, power);  // its division fails
    EXPECT_EQ(st->Text3[13], spm);
    EXPECT_EQ(st->Text3[2], "1.96");

    card(600, 0.0, 3.0, 20.0, 10.0);
    st->Circle_Num = 1;
    Calc_Sgt_Data(*st);
    EXPECT_EQ(st->Sgt_Work, 0.0f);

    // A recording-speed text that reads as 0 or as 2.
    card(600, 0.0, 3.0, 20.0, 10.0);
    st->Rec_Spd = "x";
    Calc_Sgt_Data(*st);
    EXPECT_EQ(st->Sgt_Period, 0);
    st->Rec_Spd = " 2";
    Calc_Sgt_Data(*st);
    EXPECT_EQ(st->Sgt_Period, 1200);
    EXPECT_EQ(st->Text3[13], " 2.5");
}

}  // namespace
}  // namespace tavo
