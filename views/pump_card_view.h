// The pump card drawn over the surface card it was computed from, on common
// scales: what the rods do at the polished rod and what the plunger does at
// the pump. Drawn on any surface, in millimetres, from the origin.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "views/surface.h"

namespace tavo {

struct PumpCardPlot {
    std::vector<std::pair<double, double>> surface;  // (polished-rod position m, load kN), one stroke
    std::vector<std::pair<double, double>> pump;     // (plunger position m, pump load kN), one stroke
    // Points read off the pump card (the valve events), each with its label.
    std::vector<std::pair<std::pair<double, double>, std::string>> marks;
};

constexpr double kPumpCardWidthMm = 96.0;
constexpr double kPumpCardHeightMm = 70.0;

// Clears the surface and draws the plot; a card without finite points is
// drawn as an empty frame.
void draw_pump_card(Surface& pic, const PumpCardPlot& plot);

}  // namespace tavo
