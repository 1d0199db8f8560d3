// Weight per metre in air, couplings included, of the common steel rod
// sizes, for a taper that does not give its own.
// LEAD: a stopgap until well/ provides the record's table; replace the
// callers with that table and remove this file.
#pragma once

#include <optional>

namespace tavo::downhole {

std::optional<double> fallback_weight_kg_per_m(double diameter_mm);

}  // namespace tavo::downhole
