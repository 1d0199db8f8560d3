// The three views of the drawing area Picture1. Each reads the analysis and
// draws on `pic`; only the card writes into the state (its period).
#pragma once

#include <cstdint>
#include <string>

#include "record/state.h"
#include "views/surface.h"

namespace tavo {

// The electrical curve chart with its origin at (xx, yy) millimetres.
void iup_line_form(const State& st, Surface& pic, float xx, float yy);

// The electrical parameter table.
void Disp_Pow_Data(const State& st, Surface& pic);

// The dynamometer card: refreshes Sgt_Period from Rec_Spd (a Fault when it
// does not fit 16 bits passes to the caller, nothing drawn), then Disp_SGT.
void RodEngMapDisplay(State& st, Surface& pic);
void Disp_SGT(const State& st, Surface& pic, int16_t gt_num);

// A view ("chart", "table" or "card") as the clicks on the drawing area
// bring it after a file is picked: the chart, then the table, then the card,
// each drawing over the one before (a Fault of the card passes on).
void draw_as_clicked(State& st, Surface& pic, const std::string& view);

}  // namespace tavo
