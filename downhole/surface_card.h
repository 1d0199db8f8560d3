// The forward problem: a pump card carried up the rod string to the
// polished rod, by the same transfers as the pump card. For round trips in
// tests and in the scoring tool, and for what-if cards.
#pragma once

#include <vector>

#include "downhole/pump_card.h"

namespace tavo::downhole {

// A pump card in time order over one stroke, on the pump card's footing
// (buoyant rod weight removed, tension positive).
struct PumpStroke {
    std::vector<double> position_m;
    std::vector<double> load_kN;
    double period_s = 0.0;
};

struct SurfaceCardResult {
    Problem problem = Problem::none;
    bool ok() const { return problem == Problem::none; }
    // Same time steps as the pump card; position above its lowest point.
    std::vector<double> position_m, load_kN;
    std::vector<TaperLoad> tapers;  // from the top
};

SurfaceCardResult surface_card(const PumpStroke& pump, const well::WellRecord& well,
                               const Settings& settings = {});

}  // namespace tavo::downhole
