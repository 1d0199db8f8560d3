// The plausibility checks of a well record: the same for an import, the
// store and the window's dialog as the engineer types.
#pragma once

#include <string>

#include "well/well_problem.h"
#include "well/well_record.h"

namespace tavo::well {

// The tapers may add up to the pump depth give or take this share of it
// (a warning beyond): pony rods, the polished rod and rounding in the well
// file make up small differences.
inline constexpr double taper_sum_tolerance = 0.01;

// A plausible range of one value; `positive` values must be above 0.
struct Range {
    double low;
    double high;
};

// The ranges the checks hold values to, by field (".pump.depth_m",
// "length_m" of a taper, ...); documented in the README.
namespace ranges {
inline constexpr Range length_m{0.0, 6000.0};
inline constexpr Range diameter_mm{10.0, 60.0};
inline constexpr Range weight_kg_per_m{0.2, 30.0};
inline constexpr Range modulus_GPa{10.0, 250.0};
inline constexpr Range tensile_MPa{200.0, 2000.0};
inline constexpr Range depth_m{0.0, 6000.0};
inline constexpr Range plunger_mm{15.0, 150.0};
inline constexpr Range inner_mm{30.0, 160.0};
inline constexpr Range water_cut_pct{0.0, 100.0};
inline constexpr Range oil_kg_m3{600.0, 1100.0};
inline constexpr Range water_kg_m3{950.0, 1300.0};
inline constexpr Range pressure_MPa{0.0, 30.0};
inline constexpr Range damping_nu{0.0, 2.0};
}  // namespace ranges

// Every problem of the record, errors and warnings. Each names its field as
// a JSON path below the record, starting with "." (".rods[0].length_m").
WellProblems check(const WellRecord& r);

// The tapers' total length, m.
double rod_string_length_m(const WellRecord& r);

// Leading and trailing white space (blanks, tabs, line ends, NULs) removed:
// the key of a record.
std::string trimmed_name(const std::string& name);

}  // namespace tavo::well
