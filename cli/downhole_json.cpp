#include "cli/downhole_json.h"

#include <cmath>
#include <optional>
#include <vector>

#include "cli/json_number.h"
#include "downhole/downhole_words.h"

namespace tavo::cli {

namespace {

using nlohmann::json;
namespace dh = tavo::downhole;

json series(const std::vector<double>& v, int decimals) {
    json a = json::array();
    for (double x : v) a.push_back(json_number(x, decimals));
    return a;
}

}  // namespace

json downhole_object(const dh::PumpCardResult& r, bool arrays) {
    const bool ok = r.ok();
    auto fig = [&](double v, int decimals) { return ok ? json_number(v, decimals) : json(nullptr); };
    json o = json::object();
    o["error"] = ok ? json(nullptr) : json(dh::problem_text_en(r.problem));
    o["fillage_pct"] = fig(r.fillage_pct, 1);
    o["gross_stroke_m"] = fig(r.gross_stroke_m, 3);
    o["net_stroke_m"] = fig(r.net_stroke_m, 3);
    o["fluid_load_kN"] = fig(r.fluid_load_kN, 2);
    o["upstroke_load_kN"] = fig(r.upstroke_load_kN, 2);
    o["downstroke_load_kN"] = fig(r.downstroke_load_kN, 2);
    o["displacement_m3_d"] = fig(r.displacement_m3_d, 2);
    o["liquid_m3_d"] = fig(r.liquid_m3_d, 2);
    o["liquid_t_d"] = fig(r.liquid_t_d, 2);
    o["discharge_pressure_MPa"] = fig(r.discharge_pressure_MPa, 3);
    o["intake_pressure_MPa"] = fig(r.intake_pressure_MPa, 3);
    o["fluid_level_m"] = fig(r.fluid_level_m, 1);
    o["estimates"] = json::array({"discharge_pressure_MPa", "intake_pressure_MPa", "fluid_level_m"});
    o["strokes_per_min"] = fig(r.strokes_per_min, 3);
    o["damping_nu"] = fig(r.damping_nu, 4);
    o["harmonics"] = ok ? json(r.harmonics) : json(nullptr);
    o["reversed"] = ok ? json(r.reversed) : json(nullptr);
    o["condition"] = ok ? json(dh::condition_key(r.diagnosis.condition)) : json(nullptr);
    json reasons = json::array();
    for (const dh::Reason& x : r.diagnosis.reasons)
        reasons.push_back({{"condition", dh::condition_key(x.condition)},
                           {"reason", dh::reason_key(x.code)},
                           {"value", json_number(x.value, 2)},
                           {"limit", json_number(x.limit, 2)}});
    o["reasons"] = reasons;
    json rods = json::array();
    for (const dh::TaperLoad& t : r.tapers)
        rods.push_back({{"top_depth_m", json_number(t.top_depth_m, 1)},
                        {"max_stress_MPa", json_number(t.max_stress_MPa, 2)},
                        {"min_stress_MPa", json_number(t.min_stress_MPa, 2)},
                        {"allowable_MPa", json_number(t.allowable_MPa, 2)},
                        {"goodman_pct", json_number(t.goodman_pct, 1)}});
    o["rods"] = rods;
    o["worst_rod"] = ok && !r.tapers.empty() ? json(r.worst_taper + 1) : json(nullptr);
    if (arrays) {
        o["pump_card"] = {{"position_m", series(r.pump_position_m, 4)},
                          {"load_kN", series(r.pump_load_kN, 3)}};
        o["surface_card"] = {{"position_m", series(r.surface_position_m, 4)},
                             {"load_kN", series(r.surface_load_kN, 3)}};
    }
    return o;
}

}  // namespace tavo::cli
