#include "cli/condition_json.h"

#include <cmath>
#include <optional>

#include "cli/json_number.h"
#include "common/text.h"

namespace tavo::cli {

namespace {

using nlohmann::json;
namespace cond = tavo::condition;

json stroke(const std::optional<cond::StrokeFigures>& s) {
    if (!s) return {{"max_current_A", nullptr}, {"mean_power_kW", nullptr}, {"energy_kJ", nullptr}};
    return {{"max_current_A", json_number(s->max_current_A, 2)},
            {"mean_power_kW", json_number(s->mean_power_kW, 3)},
            {"energy_kJ", json_number(s->energy_kJ, 2)}};
}

}  // namespace

json inspect_object(const tavo::State& st, const std::string& file, const cond::WellCondition& c) {
    const cond::PeriodCheck& p = c.period;
    const cond::Balance& b = c.balance;
    json o = json::object();
    o["file"] = file;
    o["well"] = tavo::MyTrim(st.head.Well_Name);
    const auto agrees = p.agrees();
    o["period"] = {{"detected", p.detected},
                   {"verified", json_number(p.verified_rounded(), 1)},
                   {"source", p.verified() ? json(cond::source_name(p.source)) : json(nullptr)},
                   {"agrees", agrees ? json(*agrees) : json(nullptr)},
                   {"note", p.note}};
    o["balance"] = {{"up", stroke(b.up)},
                    {"down", stroke(b.down)},
                    {"current_ratio", json_number(b.current_ratio, 3)},
                    {"power_ratio", json_number(b.power_ratio, 3)},
                    {"power_ratio_note", b.power_ratio_why.empty() ? json(nullptr) : json(b.power_ratio_why)},
                    {"verdict", cond::verdict_name(b.verdict)},
                    {"counterbalance_change_kN", json_number(b.change_kN, 2)},
                    {"note", b.note}};
    return o;
}

}  // namespace tavo::cli
