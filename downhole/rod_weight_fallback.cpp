#include "downhole/rod_weight_fallback.h"

#include <array>
#include <cmath>

namespace tavo::downhole {

std::optional<double> fallback_weight_kg_per_m(double diameter_mm) {
    struct Size {
        double mm, kg_per_m;
    };
    // API 11B steel rods with couplings: 5/8, 3/4, 7/8, 1, 1 1/8 in at
    // 1.135, 1.634, 2.224, 2.904, 3.676 lb/ft.
    static constexpr std::array<Size, 5> sizes{
        {{15.9, 1.689}, {19.05, 2.432}, {22.2, 3.310}, {25.4, 4.322}, {28.6, 5.470}}};
    for (const Size& s : sizes)
        if (std::fabs(diameter_mm - s.mm) < 0.6) return s.kg_per_m;
    return std::nullopt;
}

}  // namespace tavo::downhole
