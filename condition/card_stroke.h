// The stroke of the card as the analysis state holds it after the pipeline:
// displacement and load over one cycle from sample 0.
#pragma once

#include <vector>

#include "record/state.h"

namespace tavo::condition {

struct CardStroke {
    std::vector<double> pos, load;  // m and kN, time order
    float stroke_m = 0.0f;          // as the card results count it
    float max_load_kn = 0.0f;
    // A card is there when the rod moves more than 0.3 m and the largest
    // load is above 3 kN, the limits below which the card results are 0.
    bool has_card() const { return stroke_m > 0.3f && max_load_kn > 3.0f; }
};

// Samples 0 .. cycle-1 of Pos_Dat and Force_Dat, never past the samples the
// file itself provided (the arrays may still hold the previous file's
// beyond them). `cycle` 0 or less takes Circle_Num.
CardStroke card_stroke(const State& st, int cycle = 0);

// The same from a card given directly.
CardStroke card_stroke(std::vector<double> pos, std::vector<double> load);

}  // namespace tavo::condition
