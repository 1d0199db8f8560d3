// Weights in air of the common steel sucker rods (couplings included) and
// sinker bars, for a taper that does not give its own weight.
#pragma once

#include <optional>

#include "well/well_record.h"

namespace tavo::well {

struct RodSize {
    double nominal_mm;       // as engineers write it: 16, 19, 22, 25, 29
    double exact_mm;         // the inch size in mm
    double weight_kg_per_m;  // in air, couplings included for rods
    bool sinker_bar;
};

// A diameter matches a size when it is within this of the nominal or the
// exact diameter, mm.
inline constexpr double rod_size_tolerance_mm = 0.5;

// The size a diameter names, or nullopt when it names none of the table.
std::optional<RodSize> rod_size(double diameter_mm);

// The table's weight for a steel rod of this diameter, kg/m.
std::optional<double> table_weight_kg_per_m(double diameter_mm);

// The taper's weight: its own, or the table's for a steel rod; nullopt when
// neither is known (the checks report it).
std::optional<double> weight_kg_per_m(const RodTaper& taper);

}  // namespace tavo::well
