#include "downhole/production.h"

#include <algorithm>
#include <numbers>

#include "downhole/rod_string.h"

namespace tavo::downhole {

Production estimate_production(const CardReading& card, const ProductionInputs& in) {
    Production p;
    const double d = in.plunger_mm / 1000.0;
    const double area = std::numbers::pi * d * d / 4.0;
    p.displacement_m3_d = 1440.0 * area * card.gross_stroke_m * in.strokes_per_min;
    p.liquid_m3_d = 1440.0 * area * card.net_stroke_m * in.strokes_per_min * in.runtime_h_per_day / 24.0;
    p.liquid_t_d = p.liquid_m3_d * in.density_kg_m3 / 1000.0;

    const double gradient_MPa_per_m = in.density_kg_m3 * kGravity / 1e6;
    p.discharge_pressure_MPa = in.pressure.tubing_head_MPa + gradient_MPa_per_m * in.pump_depth_m;
    // Fo kN over Ap m² is kPa.
    // Below zero the column is lighter than taken (gas): the fluid is at the pump.
    p.intake_pressure_MPa = std::max(p.discharge_pressure_MPa - card.fluid_load_kN / area / 1000.0, 0.0);
    const double above_pump_m = (p.intake_pressure_MPa - in.pressure.casing_MPa) / gradient_MPa_per_m;
    p.fluid_level_m = std::clamp(in.pump_depth_m - above_pump_m, 0.0, in.pump_depth_m);
    return p;
}

}  // namespace tavo::downhole
