#include "downhole/solver_inputs.h"

#include <algorithm>
#include <cmath>

#include "well/well_defaults.h"

namespace tavo::downhole {

namespace {

bool finite_all(const std::vector<double>& v) {
    return std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
}

bool within(double v, double lo, double hi) {
    return std::isfinite(v) && v >= lo && v <= hi;
}

Problem check_record(const well::WellRecord& well, const Settings& s, double nu) {
    if (!within(well.pump.depth_m, 1.0, 12000.0) || !within(well.pump.plunger_mm, 5.0, 300.0))
        return Problem::bad_pump;
    const well::Fluid& f = well.fluid;
    if (!within(f.water_cut_pct, 0.0, 100.0) || !within(f.oil_kg_m3, 500.0, 1300.0) ||
        !within(f.water_kg_m3, 800.0, 1500.0) || !within(well.pressure.tubing_head_MPa, -0.2, 100.0) ||
        !within(well.pressure.casing_MPa, -0.2, 100.0))
        return Problem::bad_fluid;
    if (!within(nu, 0.0, 5.0)) return Problem::bad_damping;
    if (!within(s.runtime_h_per_day, 0.0, 24.0) || !within(s.service_factor, 0.05, 10.0) || s.harmonics < 1)
        return Problem::bad_settings;
    return Problem::none;
}

}  // namespace

SolverInputs prepare_inputs(const std::vector<double>& position_m, const std::vector<double>& load_kN,
                            double period_s, const well::WellRecord& well, const Settings& settings) {
    SolverInputs in;
    in.problem = [&] {
        if (position_m.size() != load_kN.size()) return Problem::unequal_arrays;
        if (position_m.size() < kMinSamples) return Problem::empty_card;
        if (!finite_all(position_m) || !finite_all(load_kN)) return Problem::not_finite;
        if (!within(period_s, 0.2, 3600.0)) return Problem::bad_period;
        return Problem::none;
    }();
    if (!in.ok()) return in;

    in.position_m = position_m;
    in.load_kN = load_kN;
    // A closed loop repeats its first sample at the end.
    if (in.position_m.back() == in.position_m.front() && in.load_kN.back() == in.load_kN.front()) {
        in.position_m.pop_back();
        in.load_kN.pop_back();
    }
    if (in.position_m.size() < kMinSamples) {
        in.problem = Problem::empty_card;
        return in;
    }
    const auto [lo, hi] = std::minmax_element(in.position_m.begin(), in.position_m.end());
    if (!(*hi - *lo > 1e-4)) {
        in.problem = Problem::no_motion;
        return in;
    }
    in.period_s = period_s;
    in.damping_nu = settings.damping_nu ? *settings.damping_nu : well::damping_nu(well);
    in.problem = check_record(well, settings, in.damping_nu);
    if (!in.ok()) return in;

    in.density_kg_m3 = mixture_density(well.fluid);
    const int most = static_cast<int>((in.position_m.size() - 1) / 2);
    in.harmonics = std::min({settings.harmonics, most, kMaxHarmonics});

    RodStringBuild built = build_rod_string(well, in.damping_nu, in.density_kg_m3);
    in.taper = built.taper;
    switch (built.problem) {
        case RodProblem::none:
            break;
        case RodProblem::no_rods:
            in.problem = Problem::no_rods;
            return in;
        case RodProblem::bad_taper:
            in.problem = Problem::bad_taper;
            return in;
        case RodProblem::unknown_weight:
            in.problem = Problem::unknown_weight;
            return in;
    }
    in.rods = std::move(built.rods);
    return in;
}

}  // namespace tavo::downhole
