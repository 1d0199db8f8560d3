#include "summary/analysis_summary.h"

#include <cmath>

#include "analysis/pick_file.h"
#include "common/number_text.h"
#include "common/text.h"
#include "condition/card_model.h"
#include "condition/fixed_text.h"
#include "condition/pump_card_of.h"
#include "condition/verified_rerun.h"
#include "record/tester_file.h"
#include "summary/pump_summary.h"

namespace tavo::summary {

namespace {

namespace cond = tavo::condition;
using cond::fixed_text;

const std::string kNone = "—";

std::string num(const std::optional<double>& v, int decimals, const std::string& unit = "") {
    return figure_text(v, decimals, unit);
}

std::string verdict_text(cond::Verdict v) {
    switch (v) {
        case cond::Verdict::Balanced:
            return "平衡";
        case cond::Verdict::AddCounterbalance:
            return "平衡偏轻，应加重";
        case cond::Verdict::ReduceCounterbalance:
            return "平衡偏重，应减轻";
        default:
            return "无法判断";
    }
}

Section period_section(const cond::PeriodCheck& p) {
    Section s;
    s.title = "周期校验";
    const double sps = p.seconds_per_sample;
    using Origin = State::CycleOrigin;
    std::string detected = std::to_string(p.detected) + " 点";
    if (p.detection_failed())
        detected = "检测失败（" + std::to_string(p.detected) + " 点只是失败的标记）";
    else if (p.detected > 0)
        detected += "（冲次 " + cond::stroke_rate_text(60.0 / (p.detected * sps)) + "）";
    std::string verified = kNone;
    if (p.verified())
        verified = fixed_text(*p.verified_rounded(), 1) + " 点（冲次 " +
                   cond::stroke_rate_text(60.0 / (p.period * sps)) + "）";
    const auto agrees = p.agrees();
    s.figures = {
        {"period.detected",
         p.origin == Origin::Manual     ? "手动周期"
         : p.origin == Origin::Verified ? "重算周期"
                                        : "检测周期",
         detected,
         p.origin == Origin::Manual
             ? "在周期框中手动输入的周期点数（程序检测为 " + std::to_string(p.first_detected) +
                   " 点）；冲次 = 60 ÷ (周期点数 × 0.02 秒 × 平均点)"
         : p.origin == Origin::Verified
             ? "按校验周期重新计算所用的周期点数 round(校验周期) + 1（程序原检测为 " +
                   std::to_string(p.first_detected) + " 点）"
             : "程序检测到的冲程周期点数：先在位移曲线上求自相关，位移不足时改用平滑后的有功功率曲线；"
               "冲次 = 60 ÷ (周期点数 × 0.02 秒 × 平均点)；检测失败时周期框为 3000 点"},
        {"period.verified", "校验周期", verified,
         "用文件自身的全部采样点独立求得：对位移（光杆不动时用有功功率）计算各时滞的平均幅差，"
         "取最深的重复并插值到小数点后一位，明确排除半周期与倍周期，首尾不完整的冲程不计"},
        {"period.source", "校验依据",
         p.source == cond::PeriodSource::Displacement ? "位移"
         : p.source == cond::PeriodSource::Power      ? "有功功率"
                                                      : kNone,
         "光杆确实在动（位移变化超过 0.3 m 且重复清晰）时据位移，否则据有功功率"},
        {"period.agrees", "结论",
         !agrees                        ? "无法校验"
         : p.origin == Origin::Verified ? "已按校验周期重新计算"
         : *agrees                      ? "一致"
         : p.origin == Origin::Manual   ? "手动周期与校验周期不同"
         : p.detection_failed()         ? "检测失败：应按校验周期计算"
                                        : "不一致：检测周期可能有误",
         "检测周期与（校验周期 + 1）相差不超过 max(3 点, 校验周期的 0.5 %) 时为一致；"
         "原检测在干净记录上给出周期 + 1 点"},
    };
    s.note = p.note;
    return s;
}

Section balance_section(const cond::Balance& b, const cond::BalanceSettings& set) {
    Section s;
    s.title = "平衡分析";
    auto stroke = [](const std::optional<cond::StrokeFigures>& f, double cond::StrokeFigures::*m) {
        return f ? std::optional<double>((*f).*m) : std::nullopt;
    };
    const std::string split =
        "按校验周期在位移上分出真实的上冲程（光杆从下死点到上死点）与下冲程，对记录中每个完整冲程计算后取平均"
        "；"
        "参数表的“最大上行电流”“平均上行功率”等按检测周期的前后两半计算，数值因此不同";
    const std::string band =
        fixed_text(set.band_low * 100.0, 0) + "%–" + fixed_text(set.band_high * 100.0, 0) + "%";
    // The change follows the verdict: none while balanced, its direction
    // where not, no figure to act on where the figures disagree.
    std::string change = kNone;
    if (b.change_kN) {
        const std::string v = fixed_text(*b.change_kN, 1);
        const bool zero = v == "0.0" || v == "-0.0";
        const std::string signed_v =
            (zero || *b.change_kN < 0 ? "" : "+") + (zero ? std::string("0.0") : v) + " kN";
        switch (b.verdict) {
            case cond::Verdict::Balanced:
                change = zero ? "无需调整" : "无需调整（光杆功之差折合 " + signed_v + "）";
                break;
            case cond::Verdict::AddCounterbalance:
                change = signed_v + "（加重或外移平衡块）";
                break;
            case cond::Verdict::ReduceCounterbalance:
                change = signed_v + "（减轻或内移平衡块）";
                break;
            default:
                change = "—（光杆功之差折合 " + signed_v + "，与功率比指向不一致）";
                break;
        }
    }
    std::string ratio = kNone;
    if (b.power_ratio)
        ratio = fixed_text(*b.power_ratio, 2) + "（" + fixed_text(*b.power_ratio * 100.0, 0) + "%）";
    else if (!b.power_ratio_why.empty())
        ratio = "—（" + b.power_ratio_why + "，比值没有意义）";
    s.figures = {
        {"balance.basis", "口径", "真实冲程、按能量（非参数表口径）",
         "本节的冲程以光杆的下死点和上死点为界，功率按能量平均；参数表的上行/下行按检测周期的前后两半划分，"
         "“功率平衡度(P小/P大)”取两者中小的比大的，故数值不同"},
        {"balance.up_current", "上冲程最大电流",
         num(stroke(b.up, &cond::StrokeFigures::max_current_A), 2, " A"), "上冲程中电流的最大值；" + split},
        {"balance.down_current", "下冲程最大电流",
         num(stroke(b.down, &cond::StrokeFigures::max_current_A), 2, " A"), "下冲程中电流的最大值；" + split},
        {"balance.up_power", "上冲程平均功率",
         num(stroke(b.up, &cond::StrokeFigures::mean_power_kW), 2, " kW"),
         "上冲程有功功率对时间的平均（能量 ÷ 时间）；" + split},
        {"balance.down_power", "下冲程平均功率",
         num(stroke(b.down, &cond::StrokeFigures::mean_power_kW), 2, " kW"),
         "下冲程有功功率对时间的平均（能量 ÷ 时间）；" + split},
        {"balance.up_energy", "上冲程耗能", num(stroke(b.up, &cond::StrokeFigures::energy_kJ), 2, " kJ"),
         "上冲程有功功率对时间的积分（电机发电时为负）；" + split},
        {"balance.down_energy", "下冲程耗能", num(stroke(b.down, &cond::StrokeFigures::energy_kJ), 2, " kJ"),
         "下冲程有功功率对时间的积分（电机发电时为负）；" + split},
        {"balance.current_ratio", "电流比（下/上）", num(b.current_ratio, 2),
         "下冲程最大电流 ÷ 上冲程最大电流；大于 1 表示下冲程更吃力（平衡偏重）。"
         "不同于参数表的“电流平衡度(I小/I大)”"},
        {"balance.power_ratio", "功率比（下/上）", ratio,
         "下冲程平均功率 ÷ 上冲程平均功率；在合格范围 " + band +
             " 之内为平衡。某一冲程平均功率接近零（小于另一冲程的 5 "
             "%）或为负（电机发电）时没有意义，显示“—”。"
             "不同于参数表的“功率平衡度(P小/P大)”"},
        {"balance.verdict", "判定", verdict_text(b.verdict),
         "据功率比：在合格范围内为平衡；不在范围内（或没有功率比）时按平衡调整的正负判为偏轻或偏重，"
         "功率比与平衡调整指向相反时无法判断；没有示功图（冲程不大于 0.3 m 或最大载荷不大于 3 "
         "kN）时无法判断"},
        {"balance.change", "平衡调整", change,
         "使上、下冲程光杆净功相等所需的平衡变化，折算为光杆处的等效力："
         "(上冲程光杆功 − 下冲程光杆功) ÷ (2 × 冲程)。光杆功由电机功率扣除按记录估计的空载损耗（" +
             fixed_text(b.idle_kW, 2) +
             " kW）后按传动效率换算：电动时乘以效率，发电时除以效率。"
             "判定为平衡时无需调整"},
        {"balance.settings", "计算条件",
         "合格范围 " + band + "，传动效率 " + fixed_text(set.efficiency * 100.0, 0) + "%",
         "功率比的合格范围和从电网到光杆的传动效率；在井况分析窗口中设定，命令行用 --balance-band 和 "
         "--drive-efficiency"},
    };
    s.note = b.note;
    return s;
}

std::string percent_text(double p) {
    return fixed_text(p * 100.0, 0) + "%";
}

Section card_section(const cond::CardDiagnosis& d) {
    Section s;
    s.title = "示功图诊断";
    const bool has = d.condition != "NO_CARD" && !d.condition.empty();
    const std::string accuracy = has ? cond::card_model_accuracy_sentence() : "";
    s.figures = {
        {"card.condition", "工况", condition_text(d),
         "由示功图形状判断的泵工况：按冲程和载荷范围归一化后的特征（阀开闭四角、加载与卸载线的位置、斜率和快"
         "慢、"
         "下冲程卸载点、两条载荷线的高低、与外接矩形的面积比、冲程两端的尖峰与平台等），用在油田实测示功图上"
         "拟合的"
         "决策树森林判别；最可能工况的概率低于 " +
             percent_text(cond::card_model_review_threshold()) +
             " 时不下单一结论，写作“不确定：A 或 B”，并列出两者各自的依据。" + accuracy},
        {"card.confidence", "置信度", has ? percent_text(d.confidence) : kNone,
         "所判工况经校准的概率：在交叉验证中，以约 80% 置信度给出的诊断约有 80% 是对的"
         "（决策树森林的概率经温度缩放校准）。" +
             accuracy},
        {"card.runner_up", "次可能工况",
         d.runner_up_name.empty() ? kNone
                                  : d.runner_up_name + "（" + percent_text(d.runner_up_confidence) + "）",
         "概率仅次于所判工况的工况及其概率"},
    };
    s.note = accuracy;
    s.evidence = card_evidence(d);
    return s;
}

}  // namespace

std::string figure_text(const std::optional<double>& v, int decimals, const std::string& unit) {
    if (!v || !std::isfinite(*v)) return kNone;
    return fixed_text(*v, decimals) + unit;
}

std::string condition_text(const cond::CardDiagnosis& d) {
    if (d.name.empty()) return kNone;
    if (!d.needs_review || d.runner_up_name.empty()) return d.name;
    // Compact, to fit the report's column of figures.
    return "不确定：" + d.name + percent_text(d.confidence) + "或" + d.runner_up_name +
           percent_text(d.runner_up_confidence);
}

std::vector<std::string> card_evidence(const cond::CardDiagnosis& d) {
    if (!d.needs_review || d.runner_up_name.empty()) return d.evidence;
    std::vector<std::string> out;
    for (const std::string& e : d.evidence) out.push_back(d.name + "：" + e);
    for (const std::string& e : d.runner_up_evidence) out.push_back(d.runner_up_name + "：" + e);
    return out;
}

const well::WellRecord* record_of(const WellBook* wells, const State& st) {
    if (wells == nullptr) return nullptr;
    auto it = wells->find(MyTrim(st.Txt_WellName));
    if (it == wells->end()) it = wells->find(std::string());
    return it == wells->end() ? nullptr : &it->second;
}

Analysis analyse(const State& st, const cond::BalanceSettings& settings, const well::WellRecord* well) {
    Analysis a;
    a.settings = settings;
    a.well = MyTrim(st.Txt_WellName);
    a.condition = cond::assess_condition(st, settings);
    a.card = cond::diagnose(st, a.condition.period);
    if (well != nullptr) a.pump = cond::pump_card_of(st, a.condition.period, *well);
    return a;
}

std::vector<Section> analysis_sections(const Analysis& a) {
    std::vector<Section> out = {period_section(a.condition.period),
                                balance_section(a.condition.balance, a.settings), card_section(a.card)};
    if (a.pump) out.push_back(pump_section(a.pump, a.well, a.card));
    return out;
}

std::vector<Figure> table_figures(const State& st) {
    // The result boxes, named by their initial texts.
    struct Shown {
        Box::Index index;
        const char* unit;
    };
    static const Shown boxes[] = {
        {Box::StrokesPerMinute, ""},   {Box::Stroke, " m"},        {Box::RodPower, " kW"},
        {Box::InputPower, " kW"},      {Box::UpDownPower, " kW"},  {Box::ApparentPower, " kVA"},
        {Box::ReactivePower, " kVar"}, {Box::PowerFactor, ""},     {Box::MeanVoltage, " V"},
        {Box::MeanCurrent, " A"},      {Box::UpDownCurrent, " A"}, {Box::RmsCurrent, " A"},
        {Box::RmsPower, " kW"}};
    static const State initial;
    std::vector<Figure> out;
    for (const Shown& b : boxes) {
        const std::string label = initial.Text3[b.index];
        std::string value = st.Text3[b.index];
        const bool blank = value.find_first_not_of(' ') == std::string::npos || value == label;
        // The stroke rate in the one form every new place prints it, so the
        // legacy box's " 3" reads "3.00 次/min" as in the period section.
        if (!blank && b.index == Box::StrokesPerMinute)
            value = cond::stroke_rate_text(leading_number(value));
        else if (!blank)
            value = value.substr(value.find_first_not_of(' ')) + b.unit;
        out.push_back({"table." + std::to_string(b.index), label, blank ? kNone : value, ""});
    }
    return out;
}

CompareTest compare_entry(const State& st, const Analysis& a) {
    CompareTest t = compare_test(st);
    const cond::Balance& b = a.condition.balance;
    t.current_ratio = b.current_ratio;
    t.power_ratio = b.power_ratio;
    // The change as the verdict has it: none while balanced, none to act on
    // where the figures disagree.
    t.counterbalance_kN = b.verdict == cond::Verdict::Balanced  ? std::optional<double>(0.0)
                          : b.verdict == cond::Verdict::Unknown ? std::nullopt
                                                                : b.change_kN;
    // The comparison's table has a narrow column per test: an unsure
    // diagnosis names its two likeliest conditions without their figures.
    const cond::CardDiagnosis& d = a.card;
    t.condition =
        d.needs_review && !d.runner_up_name.empty() ? "不确定：" + d.name + "/" + d.runner_up_name : d.name;
    if (a.pump && a.pump->ok()) {
        t.fillage_pct = a.pump->reading.fillage_pct;
        t.liquid_m3_d = a.pump->production.liquid_m3_d;
    }
    return t;
}

PreparedTest prepare_test(const std::string& file, const cond::BalanceSettings& settings,
                          bool verified_period, const WellBook* wells) {
    PreparedTest p;
    p.file = file;
    p.st = std::make_unique<State>();
    State& st = *p.st;
    p.load = pick_file(st, file);
    p.problem = chinese_test_note(p.load);
    p.readable = analysed(p.load);
    if (!p.readable) return p;
    if (verified_period) cond::rerun_with_verified_period(st);
    p.analysis = analyse(st, settings, record_of(wells, st));
    return p;
}

PreparedTest prepared_from(const State& held, const cond::BalanceSettings& settings, const WellBook* wells) {
    PreparedTest p;
    p.file = held.Cur_File;
    p.st = std::make_unique<State>(held);
    p.readable = analysed(held.last_load);
    if (!p.readable) {
        // The reading that failed was of another file than the one held.
        p.problem = chinese_test_note(Problem{});
        return p;
    }
    p.problem = chinese_test_note(held.last_load);
    p.analysis = analyse(*p.st, settings, record_of(wells, *p.st));
    return p;
}

}  // namespace tavo::summary
