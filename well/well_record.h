// What the program knows of a well beyond the tester file: the rod string,
// the pump, the tubing, the fluid and the pressures. An engineer enters it
// once; every later test of the well (matched by its name) uses it. Plain
// data in the units of the exchange JSON; no I/O here.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavo::well {

// One section of the rod string, counted from the top.
struct RodTaper {
    double length_m = 0.0;
    double diameter_mm = 0.0;
    // In air, couplings included; nullopt: from the table of common sizes.
    std::optional<double> weight_kg_per_m;
    double modulus_GPa = 206.0;         // steel; about 48 for fibreglass
    std::optional<double> tensile_MPa;  // minimum tensile strength, for Goodman
    std::string grade;                  // "D", "K", "KD", ...: informative
};

struct Pump {
    double depth_m = 0.0;
    double plunger_mm = 0.0;
};

struct Tubing {
    double inner_mm = 62.0;  // 2 7/8 in tubing
    bool anchored = true;
};

struct Fluid {
    double water_cut_pct = 0.0;
    double oil_kg_m3 = 850.0;
    double water_kg_m3 = 1000.0;
};

struct Pressure {
    double tubing_head_MPa = 0.0;
    double casing_MPa = 0.0;
};

struct WellRecord {
    std::string well;  // as the tester header names it, trimmed
    std::vector<RodTaper> rods;
    Pump pump;
    Tubing tubing;
    Fluid fluid;
    Pressure pressure;
    // Gibbs' dimensionless damping; nullopt: the program's default.
    std::optional<double> damping_nu;
    std::string notes;
};

}  // namespace tavo::well
