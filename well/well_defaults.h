// The values a well record takes when the engineer leaves a field out, in
// one place: the import, the checks, the store and the pump-card solver
// read them from here. The README's "Well records" section lists them.
#pragma once

#include "well/well_record.h"

namespace tavo::well {

// Young's modulus of steel sucker rods, GPa. Fibreglass rods are about 48.
inline constexpr double steel_modulus_GPa = 206.0;
// Below this modulus a rod is not steel: the weight table (steel) does not
// apply and the taper needs its own weight.
inline constexpr double steel_modulus_min_GPa = 150.0;

// Gibbs' dimensionless damping factor nu, with the damping coefficient
// c = pi * a * nu / (2 * L) (a: speed of sound in the rods, L: rod string
// length). 0.05, the light end of the range the literature gives for wells
// of ordinary viscosity (0.05 to 0.15): the analyzers whose pump cards we
// compare with run without damping, and ν grows in effect as 1/L on short
// strings; a record's "damping_nu" overrides it.
inline constexpr double default_damping_nu = 0.05;

// The tubing, fluid and pressures of a record that does not give them:
// 2 7/8 in tubing (62 mm bore), anchored; dead oil of 850 kg/m3 without
// water; fresh water of 1000 kg/m3; no pressure at the tubing head or
// casing head.
inline constexpr Tubing default_tubing{};
inline constexpr Fluid default_fluid{};
inline constexpr Pressure default_pressure{};

// The damping a record asks for, or the default.
inline double damping_nu(const WellRecord& r) {
    return r.damping_nu.value_or(default_damping_nu);
}

}  // namespace tavo::well
