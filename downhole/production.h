// Production and pressures from the pump card's figures. The pressures and
// the fluid level are estimates: the tubing holds liquid of the mixture's
// density and the annulus above the fluid level holds gas of no weight.
#pragma once

#include "downhole/card_reading.h"
#include "well/well_record.h"

namespace tavo::downhole {

struct Production {
    double displacement_m3_d = 0.0;  // 1440·Ap·gross stroke·N
    double liquid_m3_d = 0.0;        // 1440·Ap·net stroke·N·runtime/24
    double liquid_t_d = 0.0;
    double discharge_pressure_MPa = 0.0;  // tubing head + ρ·g·depth
    double intake_pressure_MPa = 0.0;     // discharge − Fo/Ap
    double fluid_level_m = 0.0;           // below the surface
};

struct ProductionInputs {
    double plunger_mm = 0.0;
    double pump_depth_m = 0.0;
    double strokes_per_min = 0.0;
    double runtime_h_per_day = 24.0;
    double density_kg_m3 = 1000.0;
    well::Pressure pressure;
};

Production estimate_production(const CardReading& card, const ProductionInputs& in);

}  // namespace tavo::downhole
