// The checks and preparation shared by the pump-card and the surface-card
// solvers: a stroke of samples and a well record made fit for the wave
// equation, or the first problem found.
#pragma once

#include <cstddef>
#include <vector>

#include "downhole/pump_card.h"
#include "downhole/rod_string.h"

namespace tavo::downhole {

inline constexpr std::size_t kMinSamples = 16;
inline constexpr int kMaxHarmonics = 100;

struct SolverInputs {
    Problem problem = Problem::none;
    std::size_t taper = 0;
    bool ok() const { return problem == Problem::none; }
    std::vector<double> position_m, load_kN;  // open loop, as given
    double period_s = 0.0;
    double damping_nu = 0.0;
    double density_kg_m3 = 0.0;
    int harmonics = 0;
    RodString rods;
};

SolverInputs prepare_inputs(const std::vector<double>& position_m, const std::vector<double>& load_kN,
                            double period_s, const well::WellRecord& well, const Settings& settings);

}  // namespace tavo::downhole
