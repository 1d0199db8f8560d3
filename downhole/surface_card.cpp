#include "downhole/surface_card.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "downhole/rod_loading.h"
#include "downhole/solver_inputs.h"
#include "downhole/wave_transfer.h"

namespace tavo::downhole {

SurfaceCardResult surface_card(const PumpStroke& pump, const well::WellRecord& well,
                               const Settings& settings) {
    SurfaceCardResult r;
    const SolverInputs in = prepare_inputs(pump.position_m, pump.load_kN, pump.period_s, well, settings);
    if (!in.ok()) {
        r.problem = in.problem;
        return r;
    }
    const Fourier fourier(in.position_m.size(), in.harmonics);
    const double omega = 2.0 * std::numbers::pi / in.period_s;
    std::vector<double> newton = in.load_kN;
    for (double& x : newton) x *= 1000.0;
    RodState state{fourier.analyse(in.position_m), fourier.analyse(newton)};
    std::vector<double> depths;
    double depth = in.rods.length_m;
    for (auto s = in.rods.sections.rbegin(); s != in.rods.sections.rend(); ++s) {
        carry_up(*s, omega, state);
        depth -= s->length_m;
        std::vector<double> load = fourier.synthesise(state.t);
        for (double& x : load) x /= 1000.0;
        r.tapers.insert(r.tapers.begin(),
                        taper_load(*s, std::max(depth, 0.0), std::move(load), settings.service_factor));
    }
    r.position_m = fourier.synthesise(state.u);
    r.load_kN = fourier.synthesise(state.t);
    for (double& x : r.load_kN) x /= 1000.0;
    const bool finite =
        std::all_of(r.position_m.begin(), r.position_m.end(), [](double x) { return std::isfinite(x); }) &&
        std::all_of(r.load_kN.begin(), r.load_kN.end(), [](double x) { return std::isfinite(x); });
    if (!finite) {
        r = SurfaceCardResult{};
        r.problem = Problem::diverged;
        return r;
    }
    const double lowest = *std::min_element(r.position_m.begin(), r.position_m.end());
    for (double& x : r.position_m) x -= lowest;
    return r;
}

}  // namespace tavo::downhole
