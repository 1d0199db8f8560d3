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
    // The figures of the pump card's reading and of the production that
    // follows from it, each with the decimals that mean something.
    struct Figure {
        const char* key;
        double value;
        int decimals;
    };
    const dh::CardReading& c = r.reading;
    const dh::Production& p = r.production;
    for (const Figure& f :
         {Figure{"fillage_pct", c.fillage_pct, 1}, Figure{"gross_stroke_m", c.gross_stroke_m, 3},
          Figure{"net_stroke_m", c.net_stroke_m, 3}, Figure{"fluid_load_kN", c.fluid_load_kN, 2},
          Figure{"upstroke_load_kN", c.upstroke_load_kN, 2},
          Figure{"downstroke_load_kN", c.downstroke_load_kN, 2},
          Figure{"displacement_m3_d", p.displacement_m3_d, 2}, Figure{"liquid_m3_d", p.liquid_m3_d, 2},
          Figure{"liquid_t_d", p.liquid_t_d, 2},
          Figure{"discharge_pressure_MPa", p.discharge_pressure_MPa, 3},
          Figure{"intake_pressure_MPa", p.intake_pressure_MPa, 3},
          Figure{"fluid_level_m", p.fluid_level_m, 1}})
        o[f.key] = fig(f.value, f.decimals);
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
