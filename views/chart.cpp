#include "views/views.h"

namespace tavo {

// Placeholder until the views are drawn.
void iup_line_form(State&, float, float) {}
void Disp_Pow_Data(State&) {}
void RodEngMapDisplay(State&) {}
void Disp_SGT(State&, int16_t) {}

}  // namespace tavo
