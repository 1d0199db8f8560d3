// The pump card of a test: which samples of the state it reads, how it is
// timed, and how its diagnosis is set beside the surface card's.
#include <gtest/gtest.h>

#include <cmath>

#include "condition/pump_card_of.h"
#include "condition_support.h"

namespace tavo::condition {
namespace {

using downhole::PumpCondition;

// A vertical well of 1200 m: 19 mm rods on 22 mm rods, a 44 mm pump.
well::WellRecord model_well() {
    well::WellRecord w;
    w.well = "MODEL";
    w.rods = {{600.0, 22.0, 3.06, 206.0, 793.0, "D"}, {600.0, 19.0, 2.30, 206.0, 793.0, "D"}};
    w.pump = {1200.0, 44.0};
    return w;
}

TEST(PumpCardOfTest, ReadsOneOpenStrokeOfTheFilesOwnSamples) {
    State st;
    for (std::size_t i = 0; i < kArrayLen; ++i) {  // another well's card beyond the file
        st.Pos_Dat[i] = 9.0f;
        st.Force_Dat[i] = 99.0f;
    }
    for (std::size_t i = 0; i < 301; ++i) {
        const double a = 2.0 * 3.14159265358979 * static_cast<double>(i) / 300.0;
        st.Pos_Dat[i] = static_cast<float>(1.5 * (1.0 - std::cos(a)));
        st.Force_Dat[i] = static_cast<float>(30.0 + 8.0 * std::sin(a));
    }
    st.Circle_Num = 301;  // the cycle's last sample closes the loop
    st.last_load.kind = Problem::Kind::ShortSamples;
    st.last_load.records_read = 301;
    PeriodCheck p;
    p.detected = 301;
    p.seconds_per_sample = 0.04;  // recording factor 2
    const downhole::SurfaceStroke s = surface_stroke(st, p);
    ASSERT_EQ(s.position_m.size(), 300u);
    EXPECT_EQ(s.load_kN.size(), 300u);
    EXPECT_DOUBLE_EQ(s.period_s, 12.0);
    EXPECT_EQ(s.position_m.back(), static_cast<double>(st.Pos_Dat[299]));

    // A cycle past the file's samples reads only the samples it holds.
    st.Circle_Num = 2000;
    p.detected = 2000;
    EXPECT_EQ(surface_stroke(st, p).position_m.size(), 300u);
    // No stroke found and none verified: no card to carry down.
    st.Circle_Num = kMaxSamples;
    p.detected = kMaxSamples;
    EXPECT_TRUE(surface_stroke(st, p).position_m.empty());
    EXPECT_FALSE(pump_card_of(st, p, model_well()).ok());
}

TEST(PumpCardOfTest, ATesterFileGivesAPumpCardAndATestWithoutACardAReason) {
    const std::string dir = std::string(TAVO_SOURCE_DIR) + "/samples/";
    State st;
    pick_file(st, dir + "SYNFULL.O00");
    const downhole::PumpCardResult r = pump_card_of(st, check_period(st), model_well());
    ASSERT_TRUE(r.ok()) << static_cast<int>(r.problem);
    EXPECT_GT(r.reading.gross_stroke_m, 0.0);
    EXPECT_LE(r.reading.net_stroke_m, r.reading.gross_stroke_m + 1e-9);
    EXPECT_EQ(r.pump_position_m.size(), r.surface_position_m.size());
    EXPECT_EQ(r.tapers.size(), 2u);

    pick_file(st, dir + "DX-08.O00");  // no displacement and load recorded
    const downhole::PumpCardResult none = pump_card_of(st, check_period(st), model_well());
    EXPECT_FALSE(none.ok());
    EXPECT_TRUE(none.pump_load_kN.empty());
}

TEST(PumpCardOfTest, DiagnosesAgreeOnlyWhereTheyNameTheSameCondition) {
    EXPECT_EQ(diagnoses_agree("REGULAR_WORK", PumpCondition::full_pump), true);
    EXPECT_EQ(diagnoses_agree("LIQUID_NOT_ENOUGH", PumpCondition::fluid_pound), true);
    EXPECT_EQ(diagnoses_agree("ROD_BROKEN", PumpCondition::parted_rods), true);
    EXPECT_EQ(diagnoses_agree("REGULAR_WORK", PumpCondition::fluid_pound), false);
    EXPECT_EQ(diagnoses_agree("GAS_EFFECTIVE", PumpCondition::full_pump), false);
    // Conditions without a counterpart on the other card are not compared.
    EXPECT_EQ(diagnoses_agree("OIL_ROD_LEAKAGE", PumpCondition::full_pump), std::nullopt);
    EXPECT_EQ(diagnoses_agree("NO_CARD", PumpCondition::full_pump), std::nullopt);
    EXPECT_EQ(diagnoses_agree("REGULAR_WORK", PumpCondition::unanchored_tubing), std::nullopt);
    EXPECT_EQ(diagnoses_agree("REGULAR_WORK", PumpCondition::unknown), std::nullopt);
}

}  // namespace
}  // namespace tavo::condition
