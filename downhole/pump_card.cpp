#include "downhole/pump_card.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "downhole/card_reading.h"
#include "downhole/production.h"
#include "downhole/rod_loading.h"
#include "downhole/solver_inputs.h"
#include "downhole/travel_direction.h"
#include "downhole/wave_transfer.h"

namespace tavo::downhole {

namespace {

bool finite_all(const std::vector<double>& v) {
    return std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
}

std::vector<double> scaled(std::vector<double> v, double k) {
    for (double& x : v) x *= k;
    return v;
}

std::size_t worst_taper(const std::vector<TaperLoad>& tapers) {
    std::size_t worst = 0;
    auto score = [](const TaperLoad& t) { return t.goodman_pct ? 1e6 + *t.goodman_pct : t.max_stress_MPa; };
    for (std::size_t i = 1; i < tapers.size(); ++i)
        if (score(tapers[i]) > score(tapers[worst])) worst = i;
    return worst;
}

}  // namespace

PumpCardResult pump_card(const SurfaceStroke& surface, const well::WellRecord& well,
                         const Settings& settings) {
    PumpCardResult r;
    SolverInputs in = prepare_inputs(surface.position_m, surface.load_kN, surface.period_s, well, settings);
    if (!in.ok()) {
        r.problem = in.problem;
        r.problem_taper = in.taper;
        return r;
    }
    const TimeOrder order = time_order(in.position_m, in.load_kN);
    r.reversed = order.reversed;
    r.first_input_sample = order.first;
    r.surface_position_m = in_time_order(in.position_m, order);
    r.surface_load_kN = in_time_order(in.load_kN, order);
    r.period_s = in.period_s;
    r.strokes_per_min = 60.0 / in.period_s;
    r.damping_nu = in.damping_nu;
    r.harmonics = in.harmonics;

    // The rod loads and the plunger's position keep twice the harmonics of
    // the pump load: the loads' peaks are what the stresses need, and they
    // are amplified less on the way down than the load at the string's end.
    const int most = static_cast<int>((r.surface_position_m.size() - 1) / 2);
    const Fourier fourier(r.surface_position_m.size(), std::min({2 * in.harmonics, most, kMaxHarmonics}));
    const double omega = 2.0 * std::numbers::pi / in.period_s;
    RodState state{fourier.analyse(r.surface_position_m), fourier.analyse(scaled(r.surface_load_kN, 1000.0))};
    double depth = 0.0;
    for (const RodSection& s : in.rods.sections) {
        // The top taper carries the measured load itself, peaks above the
        // harmonics kept included.
        std::vector<double> top =
            depth == 0.0 ? r.surface_load_kN : scaled(fourier.synthesise(state.t), 1e-3);
        r.tapers.push_back(taper_load(s, depth, std::move(top), settings.service_factor));
        carry_down(s, omega, state);
        depth += s.length_m;
    }
    // The plunger's position keeps the harmonics of the rod loads: the
    // march does not amplify the position's noise (the load's share of it
    // is divided by the wave number), and a plunger that stops short at the
    // end of its travel needs them for its stroke.
    r.pump_position_m = fourier.synthesise(state.u);
    state.t.resize(static_cast<std::size_t>(in.harmonics) + 1);
    r.pump_load_kN = scaled(fourier.synthesise(state.t), 1e-3);
    if (!finite_all(r.pump_position_m) || !finite_all(r.pump_load_kN)) {
        r = PumpCardResult{};
        r.problem = Problem::diverged;
        return r;
    }
    const double lowest = *std::min_element(r.pump_position_m.begin(), r.pump_position_m.end());
    for (double& x : r.pump_position_m) x -= lowest;

    r.reading = read_pump_card(r.pump_position_m, r.pump_load_kN);
    const CardReading& card = r.reading;

    ProductionInputs pin;
    pin.plunger_mm = well.pump.plunger_mm;
    pin.pump_depth_m = well.pump.depth_m;
    pin.strokes_per_min = r.strokes_per_min;
    pin.runtime_h_per_day = settings.runtime_h_per_day;
    pin.density_kg_m3 = in.density_kg_m3;
    pin.pressure = well.pressure;
    r.production = estimate_production(card, pin);
    const Production& p = r.production;
    r.fluid_density_kg_m3 = in.density_kg_m3;
    r.worst_taper = worst_taper(r.tapers);

    const double d = well.pump.plunger_mm / 1000.0;
    DiagnosisInputs din;
    din.full_column_load_kN =
        (p.discharge_pressure_MPa - well.pressure.casing_MPa) * 1000.0 * std::numbers::pi * d * d / 4.0;
    din.tubing_anchored = well.tubing.anchored;
    r.diagnosis = diagnose_pump_card(r.pump_position_m, r.pump_load_kN, card, din);
    return r;
}

}  // namespace tavo::downhole
