#include "condition/pump_card_of.h"

#include <utility>

#include "condition/card_diagnosis.h"
#include "condition/card_stroke.h"

namespace tavo::condition {

downhole::SurfaceStroke surface_stroke(const State& st, const PeriodCheck& period) {
    // Without a stroke there is no card of one stroke to carry down.
    if (!period.verified() && st.Circle_Num >= kMaxSamples) return {};
    CardStroke c = card_stroke(st, card_cycle(st, period));
    downhole::SurfaceStroke s;
    if (c.pos.size() < 2) return s;
    c.pos.pop_back();
    c.load.pop_back();
    s.position_m = std::move(c.pos);
    s.load_kN = std::move(c.load);
    s.period_s = static_cast<double>(s.position_m.size()) * period.seconds_per_sample;
    return s;
}

downhole::PumpCardResult pump_card_of(const State& st, const PeriodCheck& period,
                                      const well::WellRecord& well, const downhole::Settings& settings) {
    return downhole::pump_card(surface_stroke(st, period), well, settings);
}

std::optional<bool> diagnoses_agree(const std::string& surface_condition, downhole::PumpCondition pump) {
    using downhole::PumpCondition;
    static const std::pair<const char*, PumpCondition> same[] = {
        {"REGULAR_WORK", PumpCondition::full_pump},
        {"LIQUID_NOT_ENOUGH", PumpCondition::fluid_pound},
        {"GAS_EFFECTIVE", PumpCondition::gas_interference},
        {"TRAVELLING_VALVE_LEAKAGE", PumpCondition::travelling_valve_leak},
        {"STATIC_VALVE_LEAKAGE", PumpCondition::standing_valve_leak},
        {"PUMP_UP_BANG", PumpCondition::pump_hitting_up},
        {"PUMP_DOWN_BANG", PumpCondition::pump_hitting_down},
        {"ROD_BROKEN", PumpCondition::parted_rods},
    };
    if (pump == PumpCondition::unknown) return std::nullopt;
    bool surface_known = false, pump_known = false;
    for (const auto& [code, cond] : same) {
        if (surface_condition == code && pump == cond) return true;
        surface_known = surface_known || surface_condition == code;
        pump_known = pump_known || pump == cond;
    }
    if (!surface_known || !pump_known) return std::nullopt;
    return false;
}

}  // namespace tavo::condition
