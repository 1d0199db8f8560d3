// What the pump card's shape tells directly: the plunger's travel, the two
// load plateaus and the valve event that ends the compression of the
// barrel on the down-stroke.
#pragma once

#include <cstddef>
#include <vector>

namespace tavo::downhole {

// The travelling valve opens where the down-stroke load has fallen to the
// down-stroke plateau plus this share of the fluid load.
inline constexpr double kValveOpenShare = 0.2;

struct CardReading {
    double gross_stroke_m = 0.0;
    double net_stroke_m = 0.0;
    double fillage_pct = 0.0;
    double upstroke_load_kN = 0.0;
    double downstroke_load_kN = 0.0;
    double fluid_load_kN = 0.0;
    std::size_t bottom = 0, top = 0;  // samples of the lowest and highest position
};

// Load of one half stroke within a band of the travel (shares of the
// gross stroke from the bottom): the median, or the half's median when no
// sample lies in the band.
struct Band {
    double from, to;
};

// The samples of the up-stroke (bottom to top) or the down-stroke (top to
// bottom), in time order, wrapping around the end of the arrays.
std::vector<std::size_t> half_stroke(std::size_t from, std::size_t to, std::size_t n);

double band_load(const std::vector<double>& pos, const std::vector<double>& load,
                 const std::vector<std::size_t>& half, double bottom_m, double gross_m, Band band);

CardReading read_pump_card(const std::vector<double>& pos, const std::vector<double>& load);

}  // namespace tavo::downhole
