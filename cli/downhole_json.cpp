#include "cli/downhole_json.h"

#include <cmath>
#include <optional>
#include <vector>

#include "downhole/downhole_words.h"

namespace tavo::cli {

namespace {

namespace dh = tavo::downhole;

// Figures to a tenth of a per mille of their unit: enough for the field,
// and stable against the last bits of the solver.
nlohmann::json figure(double v) {
    if (!std::isfinite(v)) return nullptr;
    return std::round(v * 10000.0) / 10000.0;
}

nlohmann::json figure(const std::optional<double>& v) {
    return v ? figure(*v) : nlohmann::json(nullptr);
}

nlohmann::json series(const std::vector<double>& v) {
    nlohmann::json a = nlohmann::json::array();
    for (double x : v) a.push_back(figure(x));
    return a;
}

}  // namespace

nlohmann::json downhole_json(const dh::PumpCardResult& r, bool arrays) {
    nlohmann::json o = nlohmann::json::object();
    if (!r.ok()) {
        o["problem"] = dh::problem_text_en(r.problem);
        o["damping_nu"] = nullptr;
        return o;
    }
    o["fillage_pct"] = figure(r.fillage_pct);
    o["gross_stroke_m"] = figure(r.gross_stroke_m);
    o["net_stroke_m"] = figure(r.net_stroke_m);
    o["fluid_load_kN"] = figure(r.fluid_load_kN);
    o["upstroke_load_kN"] = figure(r.upstroke_load_kN);
    o["downstroke_load_kN"] = figure(r.downstroke_load_kN);
    o["displacement_m3_d"] = figure(r.displacement_m3_d);
    o["liquid_m3_d"] = figure(r.liquid_m3_d);
    o["liquid_t_d"] = figure(r.liquid_t_d);
    o["discharge_pressure_MPa"] = figure(r.discharge_pressure_MPa);
    o["intake_pressure_MPa"] = figure(r.intake_pressure_MPa);
    o["fluid_level_m"] = figure(r.fluid_level_m);
    o["strokes_per_min"] = figure(r.strokes_per_min);
    o["damping_nu"] = figure(r.damping_nu);
    o["condition"] = dh::condition_key(r.diagnosis.condition);
    nlohmann::json reasons = nlohmann::json::array();
    for (const dh::Reason& why : r.diagnosis.reasons)
        reasons.push_back({{"condition", dh::condition_key(why.condition)},
                           {"value", figure(why.value)},
                           {"limit", figure(why.limit)}});
    o["reasons"] = reasons;
    nlohmann::json rods = nlohmann::json::array();
    for (std::size_t k = 0; k < r.tapers.size(); ++k) {
        const dh::TaperLoad& t = r.tapers[k];
        rods.push_back({{"top_depth_m", figure(t.top_depth_m)},
                        {"max_stress_MPa", figure(t.max_stress_MPa)},
                        {"min_stress_MPa", figure(t.min_stress_MPa)},
                        {"allowable_MPa", figure(t.allowable_MPa)},
                        {"goodman_pct", figure(t.goodman_pct)},
                        {"worst", k == r.worst_taper}});
    }
    o["rods"] = rods;
    if (arrays) {
        o["pump_card"] = {{"position_m", series(r.pump_position_m)}, {"load_kN", series(r.pump_load_kN)}};
        o["surface_card"] = {{"position_m", series(r.surface_position_m)},
                             {"load_kN", series(r.surface_load_kN)}};
    }
    return o;
}

}  // namespace tavo::cli
