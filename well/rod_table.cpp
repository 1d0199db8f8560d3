#include "well/rod_table.h"

#include <array>
#include <cmath>

#include "well/well_defaults.h"

namespace tavo::well {

namespace {

// Pounds per foot to kilograms per metre (0.45359237 kg / 0.3048 m).
constexpr double kg_per_m(double lb_per_ft) {
    return lb_per_ft * (0.45359237 / 0.3048);
}

// Steel sucker rods: the catalogue weights in air with couplings of the API
// rod tables (the API 11B sucker-rod catalogue; the same figures as the rod
// data of API RP 11L):
// 5/8 in 1.135 lb/ft, 3/4 in 1.634, 7/8 in 2.224, 1 in 2.904, 1 1/8 in 3.676.
// Sinker bars (plain steel bars of 1 1/4 to 1 3/4 in), as the same
// catalogues list them: 4.17, 5.05, 6.01, 7.05, 8.18 lb/ft.
constexpr std::array<RodSize, 10> kSizes{{
    {16.0, 15.875, kg_per_m(1.135), false},
    {19.0, 19.050, kg_per_m(1.634), false},
    {22.0, 22.225, kg_per_m(2.224), false},
    {25.0, 25.400, kg_per_m(2.904), false},
    {29.0, 28.575, kg_per_m(3.676), false},
    {32.0, 31.750, kg_per_m(4.17), true},
    {35.0, 34.925, kg_per_m(5.05), true},
    {38.0, 38.100, kg_per_m(6.01), true},
    {41.0, 41.275, kg_per_m(7.05), true},
    {44.0, 44.450, kg_per_m(8.18), true},
}};

}  // namespace

std::optional<RodSize> rod_size(double diameter_mm) {
    for (const RodSize& s : kSizes) {
        if (std::fabs(diameter_mm - s.nominal_mm) <= rod_size_tolerance_mm ||
            std::fabs(diameter_mm - s.exact_mm) <= rod_size_tolerance_mm)
            return s;
    }
    return std::nullopt;
}

std::optional<double> table_weight_kg_per_m(double diameter_mm) {
    const std::optional<RodSize> s = rod_size(diameter_mm);
    if (!s) return std::nullopt;
    return s->weight_kg_per_m;
}

std::optional<double> weight_kg_per_m(const RodTaper& taper) {
    if (taper.weight_kg_per_m) return taper.weight_kg_per_m;
    if (taper.modulus_GPa < steel_modulus_min_GPa) return std::nullopt;
    return table_weight_kg_per_m(taper.diameter_mm);
}

}  // namespace tavo::well
