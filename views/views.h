// The three views of the drawing area Picture1. Each draws on `*st.picture`
// and does nothing when the state has no drawing surface.
#pragma once

#include <cstdint>
#include <string>

#include "record/state.h"

namespace tavo {

// The electrical curve chart with its origin at (xx, yy) millimetres.
void iup_line_form(State& st, float xx, float yy);

// The electrical parameter table.
void Disp_Pow_Data(State& st);

// The dynamometer card: refreshes Sgt_Period from Rec_Spd (a Fault when it
// does not fit 16 bits passes to the caller, nothing drawn), then Disp_SGT.
void RodEngMapDisplay(State& st);
void Disp_SGT(State& st, int16_t gt_num);

// A view ("chart", "table" or "card") as the clicks on the drawing area
// bring it after a file is picked: the chart, then the table, then the card,
// each drawing over the one before (a Fault of the card passes on).
void draw_as_clicked(State& st, const std::string& view);

}  // namespace tavo
