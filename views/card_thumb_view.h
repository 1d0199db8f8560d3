// The card drawn small beside its diagnosis, the points the diagnosis read
// ringed: a shape to recognise, without axes. Drawn on any surface, in
// millimetres, from the origin.
#pragma once

#include <utility>
#include <vector>

#include "views/surface.h"

namespace tavo {

struct CardThumbPlot {
    std::vector<float> pos, load;                // one stroke in time order, m and kN
    std::vector<std::pair<float, float>> marks;  // (position m, load kN) of the points read
};

constexpr double kCardThumbWidthMm = 63.5;   // 240 pixels at 96 per inch
constexpr double kCardThumbHeightMm = 34.4;  // 130 pixels

// Clears the surface and draws the card scaled to fill the thumbnail; a
// card of fewer than two finite points says that there is none.
void draw_card_thumb(Surface& pic, const CardThumbPlot& plot);

}  // namespace tavo
