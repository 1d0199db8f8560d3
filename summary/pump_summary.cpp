#include "summary/pump_summary.h"

#include <algorithm>
#include <cmath>

#include "condition/fixed_text.h"
#include "condition/pump_card_of.h"
#include "downhole/card_reading.h"
#include "downhole/downhole_words.h"
#include "summary/analysis_summary.h"

namespace tavo::summary {

namespace {

using condition::fixed_text;

const std::string kNone = "—";

std::string num(double v, int decimals, const std::string& unit) {
    return figure_text(v, decimals, unit);
}

std::string taper_line(const downhole::PumpCardResult& r, std::size_t k) {
    const downhole::TaperLoad& t = r.tapers[k];
    std::string line = "第 " + std::to_string(k + 1) + " 级杆（自 " + fixed_text(t.top_depth_m, 0) +
                       " m）：最大应力 " + num(t.max_stress_MPa, 1, " MPa") + "，最小应力 " +
                       num(t.min_stress_MPa, 1, " MPa") + "，Goodman 载荷率 " +
                       (t.goodman_pct ? num(*t.goodman_pct, 0, "%") : std::string("—（未给出抗拉强度）"));
    if (k == r.worst_taper && r.tapers.size() > 1) line += "（最危险）";
    return line;
}

}  // namespace

Section pump_section(const std::optional<downhole::PumpCardResult>& pump, const std::string& well,
                     const condition::CardDiagnosis& surface) {
    Section s;
    s.title = "泵功图";
    if (!pump) {
        s.note =
            "没有井“" + well + "”的基础数据（杆柱、泵深、泵径），无法计算泵功图；请点“井基础数据…”录入。";
        return s;
    }
    const downhole::PumpCardResult& r = *pump;
    if (!r.ok()) {
        s.note = std::string("无法计算泵功图：") + downhole::problem_text_zh(r.problem) + "。";
        return s;
    }
    const downhole::TaperLoad* worst = r.tapers.empty() ? nullptr : &r.tapers[r.worst_taper];
    std::string worst_text = kNone;
    if (worst != nullptr)
        worst_text = "第 " + std::to_string(r.worst_taper + 1) + " 级 " +
                     (worst->goodman_pct ? num(*worst->goodman_pct, 0, "%")
                                         : "最大应力 " + num(worst->max_stress_MPa, 0, " MPa"));
    s.figures = {
        {"pump.condition", "泵况", downhole::condition_name_zh(r.diagnosis.condition),
         "按规则读泵功图：充满度、液柱载荷与满液柱之比、下冲程卸载行程、上下冲程末端的载荷变化、两死点附近的"
         "尖峰与凹陷，依据见下"},
        {"pump.fillage", "泵充满度", num(r.reading.fillage_pct, 0, "%"),
         "有效冲程 ÷ 柱塞冲程；有效冲程从下冲程游动阀打开处（载荷降到下载荷线加液柱载荷的 30%）量到下死点"},
        {"pump.stroke", "柱塞冲程 / 有效冲程",
         num(r.reading.gross_stroke_m, 2, " m") + " / " + num(r.reading.net_stroke_m, 2, " m"),
         "泵功图上柱塞的最大位移，以及游动阀打开后的行程"},
        {"pump.fluid_load", "液柱载荷", num(r.reading.fluid_load_kN, 1, " kN"),
         "泵功图上冲程载荷线减下冲程载荷线（各取冲程中段载荷的中位数）"},
        {"pump.displacement", "理论排量", num(r.production.displacement_m3_d, 1, " m³/d"),
         "1440 × 柱塞面积 × 柱塞冲程 × 冲次，全天运行"},
        {"pump.liquid", "产液量（估算）",
         num(r.production.liquid_m3_d, 1, " m³/d") + "（" + num(r.production.liquid_t_d, 1, " t/d") + "）",
         "1440 × 柱塞面积 × 有效冲程 × 冲次 × 运行时间/24；未计油管漏失与体积系数"},
        {"pump.intake", "泵吸入口压力（估算）", num(r.production.intake_pressure_MPa, 2, " MPa"),
         "排出压力（井口油压 + 混合液密度 × g × 泵深）减 液柱载荷 ÷ 柱塞面积"},
        {"pump.fluid_level", "动液面（估算）", num(r.production.fluid_level_m, 0, " m"),
         "泵深 − (吸入口压力 − 套压) ÷ (混合液密度 × g)；环空气柱重量不计"},
        {"pump.rods", "杆柱最大载荷率", worst_text,
         "各级杆顶的最大、最小应力与修正 Goodman 图（API RP 11BR）：许用应力 = (抗拉强度/4 + 0.5625 × "
         "最小应力) × "
         "使用系数，载荷率 = (最大 − 最小) ÷ (许用 − 最小)"},
        {"pump.damping", "阻尼系数 ν", num(r.damping_nu, 2, ""),
         "Gibbs 无因次阻尼，c = π·a·ν/(2L)；井基础数据未给出时用程序默认值"},
    };
    for (std::size_t k = 0; k < r.tapers.size(); ++k) s.evidence.push_back(taper_line(r, k));
    for (const downhole::Reason& why : r.diagnosis.reasons)
        s.evidence.push_back(downhole::reason_text_zh(why));

    const std::optional<bool> agree = condition::diagnoses_agree(surface.condition, r.diagnosis.condition);
    if (agree && !*agree)
        s.note = "两种诊断不一致：地面示功图判为“" + surface.name + "”，泵功图判为“" +
                 downhole::condition_name_zh(r.diagnosis.condition) +
                 "”。泵功图不受杆柱伸缩和应力波的影响，"
                 "但依赖井基础数据的准确性。";
    else if (agree)
        s.note = "泵功图与地面示功图的诊断一致。";
    return s;
}

PumpCardPlot pump_card_plot(const downhole::PumpCardResult& r) {
    PumpCardPlot p;
    if (!r.ok()) return p;
    for (std::size_t i = 0; i < r.surface_position_m.size() && i < r.surface_load_kN.size(); ++i)
        p.surface.emplace_back(r.surface_position_m[i], r.surface_load_kN[i]);
    for (std::size_t i = 0; i < r.pump_position_m.size() && i < r.pump_load_kN.size(); ++i)
        p.pump.emplace_back(r.pump_position_m[i], r.pump_load_kN[i]);
    if (!r.pump_position_m.empty()) {
        // Where the travelling valve was read to open: the net stroke above
        // the plunger's lowest point, on the down-stroke's load line.
        const double bottom = *std::min_element(r.pump_position_m.begin(), r.pump_position_m.end());
        p.marks.push_back(
            {{bottom + r.reading.net_stroke_m,
              r.reading.downstroke_load_kN + downhole::kValveOpenShare * r.reading.fluid_load_kN},
             "游动阀开"});
    }
    return p;
}

}  // namespace tavo::summary
