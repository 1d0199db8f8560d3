#include "downhole/downhole_words.h"

#include <cstdio>

namespace tavo::downhole {

const char* condition_key(PumpCondition c) {
    switch (c) {
        case PumpCondition::unknown:
            return "unknown";
        case PumpCondition::full_pump:
            return "full_pump";
        case PumpCondition::fluid_pound:
            return "fluid_pound";
        case PumpCondition::gas_interference:
            return "gas_interference";
        case PumpCondition::travelling_valve_leak:
            return "travelling_valve_leak";
        case PumpCondition::standing_valve_leak:
            return "standing_valve_leak";
        case PumpCondition::pump_hitting_up:
            return "pump_hitting_up";
        case PumpCondition::pump_hitting_down:
            return "pump_hitting_down";
        case PumpCondition::parted_rods:
            return "parted_rods";
        case PumpCondition::unanchored_tubing:
            return "unanchored_tubing";
    }
    return "unknown";
}

const char* reason_key(ReasonCode c) {
    switch (c) {
        case ReasonCode::fillage_pct:
            return "fillage_pct";
        case ReasonCode::fluid_load_share_pct:
            return "fluid_load_share_pct";
        case ReasonCode::drop_span_pct:
            return "drop_span_pct";
        case ReasonCode::upstroke_sag_pct:
            return "upstroke_sag_pct";
        case ReasonCode::downstroke_rise_pct:
            return "downstroke_rise_pct";
        case ReasonCode::top_spike_pct:
            return "top_spike_pct";
        case ReasonCode::bottom_dip_pct:
            return "bottom_dip_pct";
        case ReasonCode::rise_span_pct:
            return "rise_span_pct";
        case ReasonCode::drop_trail_pct:
            return "drop_trail_pct";
    }
    return "";
}

const char* condition_name_zh(PumpCondition c) {
    switch (c) {
        case PumpCondition::unknown:
            return "无法判断";
        case PumpCondition::full_pump:
            return "泵充满，工作正常";
        case PumpCondition::fluid_pound:
            return "供液不足（液击）";
        case PumpCondition::gas_interference:
            return "气体影响";
        case PumpCondition::travelling_valve_leak:
            return "游动阀漏失";
        case PumpCondition::standing_valve_leak:
            return "固定阀漏失";
        case PumpCondition::pump_hitting_up:
            return "碰泵（上碰）";
        case PumpCondition::pump_hitting_down:
            return "碰泵（下碰）";
        case PumpCondition::parted_rods:
            return "抽油杆断脱";
        case PumpCondition::unanchored_tubing:
            return "油管未锚定";
    }
    return "无法判断";
}

std::string reason_text_zh(const Reason& r) {
    const char* what = "";
    switch (r.code) {
        case ReasonCode::fillage_pct:
            what = "泵充满度 %.0f%%（界限 %.0f%%）";
            break;
        case ReasonCode::fluid_load_share_pct:
            what = "液柱载荷仅为满液柱的 %.0f%%（界限 %.0f%%）";
            break;
        case ReasonCode::drop_span_pct:
            what = "下冲程卸载行程占冲程的 %.0f%%（界限 %.0f%%）";
            break;
        case ReasonCode::upstroke_sag_pct:
            what = "上冲程末载荷下降液柱载荷的 %.0f%%（界限 %.0f%%）";
            break;
        case ReasonCode::downstroke_rise_pct:
            what = "下冲程末载荷回升液柱载荷的 %.0f%%（界限 %.0f%%）";
            break;
        case ReasonCode::top_spike_pct:
            what = "上死点附近载荷高出上载荷线液柱载荷的 %.0f%%（界限 %.0f%%）";
            break;
        case ReasonCode::bottom_dip_pct:
            what = "下死点附近载荷低于下载荷线液柱载荷的 %.0f%%（界限 %.0f%%）";
            break;
        case ReasonCode::rise_span_pct:
            what = "上冲程加载行程占冲程的 %.0f%%（界限 %.0f%%）";
            break;
        case ReasonCode::drop_trail_pct:
            what = "下冲程卸载后半段占卸载行程的 %.0f%%（界限 %.0f%%）";
            break;
    }
    char buf[256];
    std::snprintf(buf, sizeof buf, what, r.value, r.limit);
    return std::string(condition_name_zh(r.condition)) + "：" + buf;
}

const char* problem_text_en(Problem p) {
    switch (p) {
        case Problem::none:
            return "";
        case Problem::empty_card:
            return "the surface card has too few samples for a stroke";
        case Problem::unequal_arrays:
            return "the surface card's position and load differ in length";
        case Problem::not_finite:
            return "the surface card holds a value that is not a number";
        case Problem::bad_period:
            return "the stroke period is zero, negative or implausible";
        case Problem::no_motion:
            return "the polished rod does not move";
        case Problem::no_rods:
            return "the well record has no rod taper";
        case Problem::bad_taper:
            return "a rod taper's length, diameter or modulus is out of range";
        case Problem::unknown_weight:
            return "a rod taper's weight per metre is neither given nor known for its diameter";
        case Problem::bad_pump:
            return "the pump depth or plunger diameter is out of range";
        case Problem::bad_fluid:
            return "the fluid densities, water cut or pressures are out of range";
        case Problem::bad_damping:
            return "the damping is outside 0 to 5";
        case Problem::bad_settings:
            return "the runtime, service factor or harmonics are out of range";
        case Problem::diverged:
            return "the pump card could not be computed (the result is not finite)";
    }
    return "";
}

const char* problem_text_zh(Problem p) {
    switch (p) {
        case Problem::none:
            return "";
        case Problem::empty_card:
            return "地面功图采样点太少，无法构成一个冲程";
        case Problem::unequal_arrays:
            return "地面功图的位移与载荷点数不一致";
        case Problem::not_finite:
            return "地面功图含有无效数值";
        case Problem::bad_period:
            return "冲程周期为零、负值或不合理";
        case Problem::no_motion:
            return "光杆没有运动";
        case Problem::no_rods:
            return "井基础数据中没有抽油杆";
        case Problem::bad_taper:
            return "某级抽油杆的长度、直径或弹性模量超出范围";
        case Problem::unknown_weight:
            return "某级抽油杆未给出每米重量，且该直径不在常用规格表中";
        case Problem::bad_pump:
            return "泵深或柱塞直径超出范围";
        case Problem::bad_fluid:
            return "流体密度、含水率或压力超出范围";
        case Problem::bad_damping:
            return "阻尼系数不在 0 到 5 之间";
        case Problem::bad_settings:
            return "运行时间、使用系数或谐波数超出范围";
        case Problem::diverged:
            return "泵功图计算失败（结果不是有限数）";
    }
    return "";
}

}  // namespace tavo::downhole
