// The "downhole" key of `tavo-cli inspect`: the pump card of a test whose
// well has a record.
#pragma once

#include <nlohmann/json.hpp>

#include "downhole/pump_card.h"

namespace tavo::cli {

// The figures (null where not finite), the rods per taper, the diagnosis;
// with `arrays`, the pump card and the surface stroke it came from. A
// result that could not be computed gives {"problem": "..."} beside
// "damping_nu" null.
nlohmann::json downhole_json(const tavo::downhole::PumpCardResult& r, bool arrays);

}  // namespace tavo::cli
