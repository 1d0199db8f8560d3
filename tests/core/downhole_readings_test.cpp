// What is read off a pump card: Goodman loading, production and pressures
// on hand-worked figures, the fillage and the diagnosis of known shapes.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "downhole/card_reading.h"
#include "downhole/downhole_words.h"
#include "downhole/production.h"
#include "downhole/pump_card.h"
#include "downhole/rod_loading.h"
#include "downhole/surface_card.h"
#include "downhole_support.h"

namespace tavo {
namespace {

using downhole::PumpCondition;

// API RP 11BR by hand: T = 793, Smin = 60, Smax = 200 MPa, SF 1:
// Sa = 198.25 + 33.75 = 232, loading = 140 / 172 = 81.40 %. With SF 0.9:
// Sa = 208.8, loading = 140 / 148.8 = 94.09 %. A real analyzer's taper
// (psi): Smax 32692.6, Smin 12788.1, T 115000 gives Sa 35943.3 and 85.96 %.
TEST(DownholeReadings, GoodmanLoadingByHand) {
    EXPECT_NEAR(*downhole::goodman_allowable_MPa(793, 60, 1.0), 232.0, 1e-9);
    EXPECT_NEAR(*downhole::goodman_loading_pct(200, 60, 793, 1.0), 81.395, 1e-3);
    EXPECT_NEAR(*downhole::goodman_loading_pct(200, 60, 793, 0.9), 94.086, 1e-3);
    EXPECT_NEAR(*downhole::goodman_allowable_MPa(115000, 12788.093054860989, 1.0), 35943.302, 1e-2);
    EXPECT_NEAR(*downhole::goodman_loading_pct(32692.615835225522, 12788.093054860989, 115000, 1.0), 85.961,
                1e-3);
    // Unknown strength, or a minimum stress past the allowable: no figure.
    EXPECT_FALSE(downhole::goodman_loading_pct(200, 60, 0, 1.0));
    EXPECT_FALSE(downhole::goodman_loading_pct(700, 600, 793, 1.0));
}

// Ap of 44 mm = 1.52053e-3 m². 1440·Ap·3 m·6 /min = 39.41 m³/d; net 2.4 m
// and 12 h/day: 15.77 m³/d, at 925 kg/m³ 14.58 t/d. Discharge 0.5 MPa +
// 925·9.80665·1500 Pa = 14.107 MPa; Fo 15 kN / Ap = 9.865 MPa: intake
// 4.242 MPa; above the pump (4.242 − 0.3)/0.009071 = 434.6 m: level 1065.4 m.
TEST(DownholeReadings, ProductionAndPressuresByHand) {
    downhole::CardReading card;
    card.gross_stroke_m = 3.0;
    card.net_stroke_m = 2.4;
    card.fluid_load_kN = 15.0;
    downhole::ProductionInputs in;
    in.plunger_mm = 44;
    in.pump_depth_m = 1500;
    in.strokes_per_min = 6;
    in.runtime_h_per_day = 12;
    in.density_kg_m3 = 925;
    in.pressure = {0.5, 0.3};
    const downhole::Production p = downhole::estimate_production(card, in);
    EXPECT_NEAR(p.displacement_m3_d, 39.41, 0.01);
    EXPECT_NEAR(p.liquid_m3_d, 15.77, 0.01);
    EXPECT_NEAR(p.liquid_t_d, 14.58, 0.01);
    EXPECT_NEAR(p.discharge_pressure_MPa, 14.107, 0.001);
    EXPECT_NEAR(p.intake_pressure_MPa, 4.242, 0.001);
    EXPECT_NEAR(p.fluid_level_m, 1065.4, 0.2);
    // A fluid load above a full column's: the level is at the pump, not
    // below it, and the intake pressure not negative.
    card.fluid_load_kN = 40.0;
    const downhole::Production q = downhole::estimate_production(card, in);
    EXPECT_EQ(q.intake_pressure_MPa, 0.0);
    EXPECT_EQ(q.fluid_level_m, 1500.0);
}

struct Diagnosed {
    downhole::PumpCardResult r;
    std::string words;
};

// A pump card of known shape carried up the string, then read back.
Diagnosed through_the_string(const downhole::PumpStroke& pump, well::WellRecord w = testing::tapered_well()) {
    const downhole::SurfaceCardResult up = downhole::surface_card(pump, w);
    EXPECT_TRUE(up.ok());
    Diagnosed d{downhole::pump_card({up.position_m, up.load_kN, pump.period_s}, w), ""};
    for (const auto& reason : d.r.diagnosis.reasons) d.words += downhole::reason_text_zh(reason) + "\n";
    return d;
}

TEST(DownholeReadings, FillageAndConditionOfKnownShapes) {
    // Full barrel.
    Diagnosed full = through_the_string(testing::pump_stroke(200, 8, 3.0, 20.0, 1.0, 0.01));
    EXPECT_EQ(full.r.diagnosis.condition, PumpCondition::full_pump) << full.words;
    EXPECT_GT(full.r.reading.fillage_pct, 90.0);
    EXPECT_NEAR(full.r.reading.fluid_load_kN, 20.0, 1.0);
    // Fluid pound: the load held until the plunger meets the liquid at 55 %.
    Diagnosed pound = through_the_string(testing::pump_stroke(200, 8, 3.0, 20.0, 0.55, 0.01));
    EXPECT_EQ(pound.r.diagnosis.condition, PumpCondition::fluid_pound) << pound.words;
    EXPECT_NEAR(pound.r.reading.fillage_pct, 55.0, 6.0);
    EXPECT_NEAR(pound.r.reading.net_stroke_m, 0.55 * 3.0, 0.2);
    // Gas: the same fillage, the load let go gradually.
    Diagnosed gas = through_the_string(testing::pump_stroke(200, 8, 3.0, 20.0, 0.55, 0.08));
    EXPECT_EQ(gas.r.diagnosis.condition, PumpCondition::gas_interference) << gas.words;
    // Parted rods: the pump lifts no fluid column.
    Diagnosed parted = through_the_string(testing::pump_stroke(200, 8, 3.0, 0.5, 1.0, 0.01));
    EXPECT_EQ(parted.r.diagnosis.condition, PumpCondition::parted_rods) << parted.words;
    EXPECT_NE(parted.words.find("抽油杆断脱"), std::string::npos);
}

// Faults drawn on a full barrel's card, carried up the string and read
// back: each must come out as its own condition, not as a partly filled
// pump.
TEST(DownholeReadings, TaggingLeaksAndAHeldLoadOfKnownShapes) {
    const downhole::PumpStroke full = testing::pump_stroke(200, 8, 3.0, 20.0, 1.0, 0.01);
    const std::size_t n = full.position_m.size();
    auto drawn = [&](auto&& shape) {
        downhole::PumpStroke p = full;
        for (std::size_t j = 0; j < n; ++j)
            p.load_kN[j] = shape(p.position_m[j] / 3.0, j < n / 2, p.load_kN[j]);
        return through_the_string(p);
    };
    // The plunger striking the top: a load spike at the top of the up-stroke.
    Diagnosed up = drawn([](double x, bool rising, double l) { return rising && x > 0.92 ? l + 8.0 : l; });
    EXPECT_EQ(up.r.diagnosis.condition, PumpCondition::pump_hitting_up) << up.words;
    // Striking the bottom: the load pushed below the down-stroke's plateau.
    Diagnosed down = drawn([](double x, bool rising, double l) { return !rising && x < 0.06 ? l - 8.0 : l; });
    EXPECT_EQ(down.r.diagnosis.condition, PumpCondition::pump_hitting_down) << down.words;
    // A leaking travelling valve: the load slips away through the
    // up-stroke and is not regained at the top.
    Diagnosed tv = drawn([](double x, bool, double l) { return x > 0.3 ? l * (1.3 - x) : l; });
    EXPECT_EQ(tv.r.diagnosis.condition, PumpCondition::travelling_valve_leak) << tv.words;
    // Fluid pound with part of the load held over the empty barrel: the
    // drop at the liquid is sharp even though the load never came back to
    // the up-stroke's plateau; let go gradually instead, it is gas.
    auto held = [](double width) {
        return [width](double x, bool rising, double) {
            if (rising) return 20.0 / (1.0 + std::exp(-(x - 0.04) / 0.01));
            return 14.0 / (1.0 + std::exp(-(x - 0.5) / width));
        };
    };
    Diagnosed pound = drawn(held(0.01));
    EXPECT_EQ(pound.r.diagnosis.condition, PumpCondition::fluid_pound) << pound.words;
    Diagnosed gas = drawn(held(0.08));
    EXPECT_EQ(gas.r.diagnosis.condition, PumpCondition::gas_interference) << gas.words;
}

// Unanchored tubing: the load taken up over a long travel while the
// tubing stretches, reported only when the record says it is free.
TEST(DownholeReadings, SlowTakeUpIsUnanchoredTubingOnlyWhenTheRecordSaysSo) {
    downhole::PumpStroke pump = testing::pump_stroke(200, 8, 3.0, 20.0, 1.0, 0.01);
    for (std::size_t j = 0; j < 100; ++j) {
        const double share = pump.position_m[j] / 3.0;
        pump.load_kN[j] = 20.0 * std::min(1.0, share / 0.3);
    }
    well::WellRecord w = testing::tapered_well();
    w.tubing.anchored = false;
    EXPECT_EQ(through_the_string(pump, w).r.diagnosis.condition, PumpCondition::unanchored_tubing);
    w.tubing.anchored = true;
    EXPECT_NE(through_the_string(pump, w).r.diagnosis.condition, PumpCondition::unanchored_tubing);
}

}  // namespace
}  // namespace tavo
