// The pump card's solver: the round trip through the forward equation, the
// direction of travel, a rigid string and inputs it must refuse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "downhole/pump_card.h"
#include "downhole/surface_card.h"
#include "downhole/travel_direction.h"
#include "downhole_support.h"

namespace tavo {
namespace {

using downhole::Problem;

double max_abs_diff(const std::vector<double>& a, const std::vector<double>& b) {
    double d = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) d = std::max(d, std::fabs(a[i] - b[i]));
    return d;
}

downhole::SurfaceStroke up_the_string(const downhole::PumpStroke& pump, const well::WellRecord& w,
                                      const downhole::Settings& s) {
    const downhole::SurfaceCardResult up = downhole::surface_card(pump, w, s);
    EXPECT_TRUE(up.ok());
    return {up.position_m, up.load_kN, pump.period_s};
}

// A pump card carried up the damped, tapered string and back down comes
// back as it was, with its figures; the load at each taper's top agrees
// both ways.
TEST(DownholePumpCard, RoundTripThroughTheRodStringReturnsThePumpCard) {
    const well::WellRecord w = testing::tapered_well();
    for (double nu : {0.0, 0.1, 0.4}) {
        downhole::Settings s;
        s.damping_nu = nu;
        downhole::PumpStroke pump = testing::pump_stroke(200, 9.0, 3.0, 20.0, 0.7, 0.04);
        pump.position_m = testing::low_pass(pump.position_m, s.harmonics);
        pump.load_kN = testing::low_pass(pump.load_kN, s.harmonics);
        const auto surface = up_the_string(pump, w, s);
        // Rod stretch and weight: the surface card differs plainly.
        EXPECT_GT(max_abs_diff(surface.load_kN, pump.load_kN), 20.0);

        const downhole::PumpCardResult r = downhole::pump_card(surface, w, s);
        ASSERT_TRUE(r.ok());
        EXPECT_FALSE(r.reversed);
        EXPECT_DOUBLE_EQ(r.damping_nu, nu);
        const double lowest = *std::min_element(pump.position_m.begin(), pump.position_m.end());
        std::vector<double> want_pos, want_load;
        for (std::size_t k = 0; k < pump.load_kN.size(); ++k) {
            const std::size_t j = (r.first_input_sample + k) % pump.load_kN.size();
            want_pos.push_back(pump.position_m[j] - lowest);
            want_load.push_back(pump.load_kN[j]);
        }
        EXPECT_LT(max_abs_diff(r.pump_load_kN, want_load), 1e-6) << "nu " << nu;
        EXPECT_LT(max_abs_diff(r.pump_position_m, want_pos), 1e-9) << "nu " << nu;
        EXPECT_NEAR(r.reading.fluid_load_kN, 20.0, 1.0);
        EXPECT_NEAR(r.reading.fillage_pct, 70.0, 6.0);
        EXPECT_NEAR(r.reading.gross_stroke_m, 3.0, 0.05);
        const downhole::SurfaceCardResult up = downhole::surface_card(pump, w, s);
        ASSERT_EQ(r.tapers.size(), up.tapers.size());
        for (std::size_t i = 0; i < r.tapers.size(); ++i)
            EXPECT_NEAR(r.tapers[i].max_stress_MPa, up.tapers[i].max_stress_MPa, 1e-6) << "taper " << i;
    }
}

// The plunger's position keeps twice the pump load's harmonics: a plunger
// that reverses sharply (a triangle kept to 40 harmonics) keeps its whole
// stroke, where 20 harmonics would cut a percent or two off it.
TEST(DownholePumpCard, SharplyReversingPlungerKeepsItsStroke) {
    const well::WellRecord w = testing::tapered_well();
    downhole::PumpStroke pump = testing::pump_stroke(200, 9.0, 3.0, 20.0, 0.9);
    for (std::size_t j = 0; j < 200; ++j)
        pump.position_m[j] = 3.0 * (1.0 - std::fabs(2.0 * static_cast<double>(j) / 200.0 - 1.0));
    pump.position_m = testing::low_pass(pump.position_m, 2 * downhole::kDefaultHarmonics);
    pump.load_kN = testing::low_pass(pump.load_kN, downhole::kDefaultHarmonics);
    downhole::Settings all;
    all.harmonics = 99;
    const downhole::PumpCardResult r = downhole::pump_card(up_the_string(pump, w, all), w);
    ASSERT_TRUE(r.ok());
    const auto [lo, hi] = std::minmax_element(pump.position_m.begin(), pump.position_m.end());
    EXPECT_NEAR(r.reading.gross_stroke_m, *hi - *lo, 1e-6);
    EXPECT_EQ(r.harmonics, downhole::kDefaultHarmonics);
}

// A card traced backwards, starting anywhere, gives the same pump card in
// the same time order.
TEST(DownholePumpCard, BackwardTracedCardGivesTheSamePumpCard) {
    const well::WellRecord w = testing::tapered_well();
    const auto surface = up_the_string(testing::pump_stroke(180, 7.0, 2.5, 18.0, 0.8), w, {});
    const downhole::PumpCardResult forward = downhole::pump_card(surface, w);
    ASSERT_TRUE(forward.ok());
    for (std::size_t start : {0u, 37u, 121u}) {
        downhole::SurfaceStroke back = surface;
        std::rotate(back.position_m.begin(), back.position_m.begin() + start, back.position_m.end());
        std::rotate(back.load_kN.begin(), back.load_kN.begin() + start, back.load_kN.end());
        std::reverse(back.position_m.begin(), back.position_m.end());
        std::reverse(back.load_kN.begin(), back.load_kN.end());
        const downhole::PumpCardResult r = downhole::pump_card(back, w);
        ASSERT_TRUE(r.ok());
        EXPECT_TRUE(r.reversed);
        EXPECT_LT(max_abs_diff(r.pump_load_kN, forward.pump_load_kN), 1e-9) << "start " << start;
        EXPECT_LT(max_abs_diff(r.surface_load_kN, forward.surface_load_kN), 1e-12);
        EXPECT_DOUBLE_EQ(r.reading.fillage_pct, forward.reading.fillage_pct);
    }
    // A closed loop (the first sample repeated at the end) is the same stroke.
    downhole::SurfaceStroke closed = surface;
    closed.position_m.push_back(closed.position_m.front());
    closed.load_kN.push_back(closed.load_kN.front());
    EXPECT_LT(max_abs_diff(downhole::pump_card(closed, w).pump_load_kN, forward.pump_load_kN), 1e-9);
}

// A short string stroked slowly is a rigid body: the pump moves with the
// polished rod and carries its load less the string's buoyant weight.
TEST(DownholePumpCard, RigidShortStringGivesSurfaceCardLessRodWeight) {
    well::WellRecord w = testing::tapered_well();
    w.rods = {testing::rod(10, 22.2, 3.31)};
    w.pump.depth_m = 10;
    w.fluid.water_cut_pct = 100;
    w.fluid.water_kg_m3 = 1000;
    // Gibbs' damping scales with 1/L: on 10 m of rod any ν is heavy.
    w.damping_nu = 0.0;
    downhole::SurfaceStroke s;
    s.period_s = 60;
    const downhole::PumpStroke shape = testing::pump_stroke(120, 60, 2.0, 10.0, 1.0, 0.05);
    s.position_m = testing::low_pass(shape.position_m, 10);
    s.load_kN = testing::low_pass(shape.load_kN, 10);
    const downhole::PumpCardResult r = downhole::pump_card(s, w);
    ASSERT_TRUE(r.ok());
    const double area = 3.14159265358979 * 0.0222 * 0.0222 / 4.0;
    const double buoyant_kN = (3.31 - 1000.0 * area) * 9.80665 * 10.0 / 1000.0;
    for (std::size_t k = 0; k < r.pump_load_kN.size(); ++k) {
        EXPECT_NEAR(r.pump_load_kN[k], r.surface_load_kN[k] - buoyant_kN, 0.01);
        EXPECT_NEAR(r.pump_position_m[k], r.surface_position_m[k] - r.surface_position_m[0], 0.002);
    }
}

// A 100 m string stroked in 2 s is nearly rigid but not weightless in
// motion: the pump load is the surface load less the weight and less
// mass times acceleration (Newton, not the solver's own formulas).
TEST(DownholePumpCard, ShortStringInMotionCarriesItsInertia) {
    well::WellRecord w = testing::tapered_well();
    w.rods = {testing::rod(100, 22.2, 3.31)};
    w.pump.depth_m = 100;
    w.damping_nu = 0.0;
    downhole::SurfaceStroke s;
    s.period_s = 2.0;
    const double omega = 2.0 * std::numbers::pi / s.period_s, amplitude = 0.5;
    for (int j = 0; j < 100; ++j) {
        s.position_m.push_back(amplitude * (1.0 - std::cos(omega * s.period_s * j / 100.0)));
        s.load_kN.push_back(30.0 + 5.0 * std::sin(omega * s.period_s * j / 100.0));
    }
    const downhole::PumpCardResult r = downhole::pump_card(s, w);
    ASSERT_TRUE(r.ok());
    const double mass_kg = 3.31 * 100.0;
    const double area_m2 = std::numbers::pi * 0.0222 * 0.0222 / 4.0;
    const double fluid_kg_m3 = 0.5 * 1000.0 + 0.5 * 850.0;
    const double buoyant_kN = (mass_kg - fluid_kg_m3 * area_m2 * 100.0) * 9.80665 / 1000.0;
    for (std::size_t k = 0; k < r.pump_load_kN.size(); ++k) {
        const double t = s.period_s * static_cast<double>(k) / 100.0;  // sample 0 is the bottom
        const double accel = amplitude * omega * omega * std::cos(omega * t);
        EXPECT_NEAR(r.pump_load_kN[k], r.surface_load_kN[k] - buoyant_kN - mass_kg * accel / 1000.0, 0.02)
            << k;
    }
}

// Damping takes energy out of the moving string: the polished rod does
// work c·m·∫v²dt per stroke on a nearly rigid string with nothing at the
// pump (c = π·a·ν/(2L)); without damping, none.
TEST(DownholePumpCard, DampingDissipatesTheWorkOfGibbsRule) {
    well::WellRecord w = testing::tapered_well();
    w.rods = {testing::rod(100, 22.2, 3.31)};
    w.pump.depth_m = 100;
    downhole::PumpStroke pump;
    pump.period_s = 2.0;
    const double omega = std::numbers::pi, amplitude = 0.5;
    for (int j = 0; j < 200; ++j) {
        pump.position_m.push_back(amplitude * (1.0 - std::cos(omega * pump.period_s * j / 200.0)));
        pump.load_kN.push_back(0.0);
    }
    const double area_m2 = std::numbers::pi * 0.0222 * 0.0222 / 4.0;
    const double sound_m_s = std::sqrt(206e9 * area_m2 / 3.31);
    for (double nu : {0.0, 0.05, 0.2}) {
        downhole::Settings s;
        s.damping_nu = nu;
        const downhole::SurfaceCardResult up = downhole::surface_card(pump, w, s);
        ASSERT_TRUE(up.ok());
        const double c = std::numbers::pi * sound_m_s * nu / (2.0 * 100.0);
        const double want_kJ = c * 331.0 * amplitude * amplitude * omega * std::numbers::pi / 1000.0;
        EXPECT_NEAR(downhole::loop_work(up.position_m, up.load_kN), want_kJ, 0.03 * want_kJ + 0.005)
            << "nu " << nu;
    }
}

// Bad inputs are refused with their reason and no figures; nothing hangs
// or overflows.
TEST(DownholePumpCard, BadInputsAreRefusedWithTheirReason) {
    const well::WellRecord good_well = testing::tapered_well();
    const auto good = up_the_string(testing::pump_stroke(100, 8.0, 2.0, 15.0), good_well, {});
    ASSERT_TRUE(downhole::pump_card(good, good_well).ok());

    struct Case {
        const char* what;
        Problem want;
        void (*spoil)(downhole::SurfaceStroke&, well::WellRecord&, downhole::Settings&);
    };
    const Case cases[] = {
        {"zero period", Problem::bad_period, [](auto& s, auto&, auto&) { s.period_s = 0; }},
        {"NaN period", Problem::bad_period, [](auto& s, auto&, auto&) { s.period_s = std::nan(""); }},
        {"empty card", Problem::empty_card,
         [](auto& s, auto&, auto&) { s.position_m.clear(), s.load_kN.clear(); }},
        {"unequal arrays", Problem::unequal_arrays, [](auto& s, auto&, auto&) { s.load_kN.pop_back(); }},
        {"NaN load", Problem::not_finite, [](auto& s, auto&, auto&) { s.load_kN[7] = std::nan(""); }},
        {"infinite position", Problem::not_finite, [](auto& s, auto&, auto&) { s.position_m[3] = INFINITY; }},
        {"rod at rest", Problem::no_motion,
         [](auto& s, auto&, auto&) { std::fill(s.position_m.begin(), s.position_m.end(), 1.0); }},
        {"no rods", Problem::no_rods, [](auto&, auto& w, auto&) { w.rods.clear(); }},
        {"zero-length taper", Problem::bad_taper, [](auto&, auto& w, auto&) { w.rods[1].length_m = 0; }},
        {"NaN diameter", Problem::bad_taper,
         [](auto&, auto& w, auto&) { w.rods[2].diameter_mm = std::nan(""); }},
        {"huge string", Problem::bad_taper, [](auto&, auto& w, auto&) { w.rods[0].length_m = 1e12; }},
        {"unknown weight", Problem::unknown_weight,
         [](auto&, auto& w, auto&) { w.rods[0].weight_kg_per_m.reset(), w.rods[0].diameter_mm = 31; }},
        {"no pump", Problem::bad_pump, [](auto&, auto& w, auto&) { w.pump.plunger_mm = 0; }},
        {"water cut 150", Problem::bad_fluid, [](auto&, auto& w, auto&) { w.fluid.water_cut_pct = 150; }},
        {"negative damping", Problem::bad_damping, [](auto&, auto&, auto& s) { s.damping_nu = -0.1; }},
        {"record damping 1e300", Problem::bad_damping, [](auto&, auto& w, auto&) { w.damping_nu = 1e300; }},
        {"runtime 25 h", Problem::bad_settings, [](auto&, auto&, auto& s) { s.runtime_h_per_day = 25; }},
        {"no harmonics", Problem::bad_settings, [](auto&, auto&, auto& s) { s.harmonics = 0; }},
    };
    for (const Case& c : cases) {
        downhole::SurfaceStroke s = good;
        well::WellRecord w = good_well;
        downhole::Settings set;
        c.spoil(s, w, set);
        const downhole::PumpCardResult r = downhole::pump_card(s, w, set);
        EXPECT_EQ(r.problem, c.want) << c.what;
        EXPECT_TRUE(r.pump_load_kN.empty()) << c.what;
        const downhole::SurfaceCardResult up =
            downhole::surface_card({s.position_m, s.load_kN, s.period_s}, w, set);
        EXPECT_EQ(up.problem, c.want) << c.what;
    }
}

}  // namespace
}  // namespace tavo
