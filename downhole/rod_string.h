// The rod string as the wave equation needs it: per taper the stiffness,
// the speed of sound from the weight per metre with couplings, the damping
// and the buoyant weight.
#pragma once

#include <cstddef>
#include <vector>

#include "well/well_record.h"

namespace tavo::downhole {

inline constexpr double kGravity = 9.80665;  // m/s²

struct RodSection {
    double length_m = 0.0;
    double area_m2 = 0.0;
    double ea_N = 0.0;             // E·A
    double sound_m_s = 0.0;        // a = sqrt(E·A / mass per metre)
    double damping_per_s = 0.0;    // c = π·a·ν / (2·L), L the whole string
    double buoyant_N_per_m = 0.0;  // (mass per metre − fluid density·A)·g
    double tensile_MPa = 0.0;      // 0: not known
};

struct RodString {
    std::vector<RodSection> sections;  // from the top
    double length_m = 0.0;
    double buoyant_weight_N = 0.0;  // of the whole string
};

enum class RodProblem { none, no_rods, bad_taper, unknown_weight };

struct RodStringBuild {
    RodString rods;
    RodProblem problem = RodProblem::none;
    std::size_t taper = 0;  // the taper at fault
};

// The liquid's density from water cut and the two densities, kg/m³.
double mixture_density(const well::Fluid& fluid);

// Minimum tensile strength from the taper, or from its grade when only
// that is given (API grades C and K 620 MPa, D and KD 793 MPa); 0 if
// neither tells.
double tensile_strength_MPa(const well::RodTaper& taper);

RodStringBuild build_rod_string(const well::WellRecord& well, double damping_nu, double fluid_kg_m3);

}  // namespace tavo::downhole
