#include "condition/card_diagnosis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <optional>

#include "condition/card_features.h"
#include "condition/card_model.h"

namespace tavo::condition {

namespace {

constexpr const char* kNoCard = "NO_CARD";
constexpr int kEvidenceCount = 3;
constexpr std::size_t kMinPoints = 8;

struct Named {
    const char* label;
    const char* name;
};
constexpr std::array<Named, 13> kNames = {{
    {"REGULAR_WORK", "正常"},
    {"LIQUID_NOT_ENOUGH", "供液不足"},
    {"GAS_EFFECTIVE", "气体影响"},
    {"TRAVELLING_VALVE_LEAKAGE", "游动阀漏失"},
    {"STATIC_VALVE_LEAKAGE", "固定阀漏失"},
    {"DOUBLE_VALVE_LEAKAGE", "双阀漏失"},
    {"OIL_ROD_LEAKAGE", "油管漏失"},
    {"ROD_BROKEN", "抽油杆断脱"},
    {"PUMP_UP_BANG", "上碰泵"},
    {"PUMP_DOWN_BANG", "下碰泵"},
    {"OIL_TO_DENSE", "稠油影响"},
    {"WORK_WITH_FLOAT", "连抽带喷"},
    {"NO_CARD", "无示功图"},
}};

std::string format(const char* fmt, double v) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

long percent(double fraction) {
    return std::lround(fraction * 100.0);
}

// A named feature in words, with its value; nothing when the card does not
// show it (a flat line's slope, a spike or a dip of less than 3 % of the
// load range), so that the evidence never cites what is not there.
std::optional<std::string> evidence_text(int feature, double v) {
    const double p = static_cast<double>(percent(v));
    constexpr double kVisible = 0.03;  // of the load range
    constexpr double kSloped = 0.05;   // load range per stroke
    switch (feature) {
        case kUnloadPos:
            return format("下冲程卸载点在冲程的 %.0f %%处（满泵应接近 100 %%）", p);
        case kPickupPos:
            return format("上冲程加载点在冲程的 %.0f %%处（正常应接近 0 %%）", p);
        case kUnloadWidth:
            return format("下冲程卸载过程占冲程的 %.0f %%（满泵卸载迅速，气体影响时缓慢）", p);
        case kPickupWidth:
            return format("上冲程加载过程占冲程的 %.0f %%（阀漏失时加载迟缓）", p);
        case kUpLevel:
            return format("上冲程载荷线平均在载荷范围的 %.0f %%处", p);
        case kDownLevel:
            return format("下冲程载荷线平均在载荷范围的 %.0f %%处", p);
        case kUpSlope:
            if (std::abs(v) < kSloped) return std::nullopt;
            return format(v > 0.0 ? "上冲程载荷线上倾（斜率 %.2f 载荷范围/冲程）"
                                  : "上冲程载荷线下倾（斜率 %.2f 载荷范围/冲程）",
                          std::abs(v));
        case kDownSlope:
            if (std::abs(v) < kSloped) return std::nullopt;
            return format(v > 0.0 ? "下冲程载荷线上倾（斜率 %.2f 载荷范围/冲程）"
                                  : "下冲程载荷线下倾（斜率 %.2f 载荷范围/冲程）",
                          std::abs(v));
        case kAreaRatio:
            return format("示功图面积为外接矩形的 %.0f %%", p);
        case kMinMaxRatio:
            return format("最小载荷为最大载荷的 %.0f %%", p);
        case kTopSpike:
            if (v < kVisible) return std::nullopt;
            return format("冲程顶端载荷尖峰高出上载荷线 %.0f %%载荷范围", p);
        case kBottomDip:
            if (v < kVisible) return std::nullopt;
            return format("冲程底端最小载荷低于下载荷线 %.0f %%载荷范围", p);
        // A negative difference is told the other way round, not as "-25 % lower".
        case kTopDrop:
            if (std::abs(v) < kVisible) return std::nullopt;
            return format(v > 0.0 ? "冲程顶端上冲程载荷比上载荷线低 %.0f %%载荷范围"
                                  : "冲程顶端上冲程载荷比上载荷线高 %.0f %%载荷范围",
                          std::abs(p));
        case kBottomRise:
            if (std::abs(v) < kVisible) return std::nullopt;
            return format(v > 0.0 ? "冲程底端下冲程载荷比下载荷线高 %.0f %%载荷范围"
                                  : "冲程底端下冲程载荷比下载荷线低 %.0f %%载荷范围",
                          std::abs(p));
        case kVibration:
            if (v < 0.005) return std::nullopt;
            return format("载荷波动（6 至 30 次谐波）为载荷范围的 %.1f %%", v * 100.0);
        case kUpTime:
            return format("上冲程占周期的 %.0f %%", p);
        case kPickupSpeed:
            return format("上冲程加载最快处每 1 %%冲程加载 %.0f %%载荷范围（阀漏失时加载缓慢）", v);
        case kUnloadSpeed:
            return format("下冲程卸载最快处每 1 %%冲程卸载 %.0f %%载荷范围（液击时卸载陡急）", v);
        // At 0 the event came before the stroke's end: say so, not "at 0 %".
        case kPickupTime:
            if (p < 1.0) return std::string("到下死点时载荷已升过上、下载荷线的中间");
            return format("加载点在上冲程时间的 %.0f %%处", p);
        case kUnloadTime:
            if (p < 1.0) return std::string("到上死点时载荷已降过上、下载荷线的中间");
            return format("卸载点在下冲程时间的 %.0f %%处", p);
        case kPreUnload:
            return format(
                "顶端至卸载点之间的下冲程载荷仍在上、下载荷线之间的 %.0f %%处（气体影响时逐渐卸载）", p);
        case kPrePickup:
            return format("底端至加载点之间的上冲程载荷已在上、下载荷线之间的 %.0f %%处", p);
        case kLineRatio:
            return format("下载荷线为上载荷线的 %.0f %%（两线相近时液柱载荷小）", p);
        case kUpPeakPos:
            return format("上载荷线最高处在冲程的 %.0f %%处", p);
        case kStroke:
            return format("冲程 %.2f m", v);
        case kMaxLoad:
            return format("最大载荷 %.1f kN", v);
        case kMinLoad:
            return format("最小载荷 %.1f kN", v);
        case kLoadRange:
            return format("载荷范围（最大减最小载荷）%.1f kN", v);
        default:
            return std::nullopt;
    }
}

// The features that pushed class k's probability most on the trees' paths,
// in words; at most kEvidenceCount, only those the card shows.
std::vector<std::string> evidence_for(const CardFeatures& f, int k) {
    const std::vector<double> share = card_model_contributions(f, k);
    std::vector<int> by(share.size());
    std::iota(by.begin(), by.end(), 0);
    std::stable_sort(by.begin(), by.end(), [&](int a, int b) {
        return share[static_cast<std::size_t>(a)] > share[static_cast<std::size_t>(b)];
    });
    std::vector<std::string> out;
    for (int j : by) {
        if (static_cast<int>(out.size()) == kEvidenceCount) break;
        if (share[static_cast<std::size_t>(j)] <= 0.0 && !out.empty()) break;
        if (auto text = evidence_text(j, f.value[static_cast<std::size_t>(j)]))
            out.push_back(std::move(*text));
    }
    return out;
}

CardDiagnosis no_card(std::string why) {
    CardDiagnosis d;
    d.condition = kNoCard;
    d.name = condition_name(kNoCard);
    d.confidence = 1.0;
    d.evidence.push_back(std::move(why));
    return d;
}

void add_mark(CardDiagnosis& d, const char* what, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= d.pos.size()) return;
    const auto i = static_cast<std::size_t>(index);
    d.marks.push_back({what, index, d.pos[i], d.load[i]});
}

}  // namespace

std::string condition_name(const std::string& label) {
    for (const Named& n : kNames)
        if (label == n.label) return n.name;
    return "";
}

CardDiagnosis diagnose_card(const CardStroke& s) {
    if (s.pos.size() < kMinPoints || s.load.size() < kMinPoints)
        return no_card(
            format("一个周期内只有 %.0f 个点，不足以构成示功图", static_cast<double>(s.pos.size())));
    if (!(s.stroke_m > 0.3f)) return no_card(format("冲程 %.2f m，不超过 0.3 m", s.stroke_m));
    if (!(s.max_load_kn > 3.0f)) return no_card(format("最大载荷 %.2f kN，不超过 3 kN", s.max_load_kn));

    const CardFeatures f = card_features(s.pos, s.load);
    const std::vector<double> p = card_model_calibrated(card_model_proba(f));
    std::vector<int> order(p.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return p[static_cast<std::size_t>(a)] > p[static_cast<std::size_t>(b)];
    });

    CardDiagnosis d;
    d.condition = card_model_class(order[0]);
    d.name = condition_name(d.condition);
    d.confidence = p[static_cast<std::size_t>(order[0])];
    d.needs_review = card_model_needs_review(d.confidence);
    for (std::size_t k = 0; k < p.size(); ++k)
        d.probabilities.emplace_back(card_model_class(static_cast<int>(k)), p[k]);
    d.evidence = evidence_for(f, order[0]);
    if (order.size() > 1) {
        d.runner_up = card_model_class(order[1]);
        d.runner_up_name = condition_name(d.runner_up);
        d.runner_up_confidence = p[static_cast<std::size_t>(order[1])];
        d.runner_up_evidence = evidence_for(f, order[1]);
    }

    for (std::size_t i = 0; i < s.pos.size(); ++i) {
        d.pos.push_back(static_cast<float>(s.pos[i]));
        d.load.push_back(static_cast<float>(s.load[i]));
    }
    add_mark(d, "下死点", f.marks.bottom);
    add_mark(d, "上死点", f.marks.top);
    add_mark(d, "加载点", f.marks.pickup);
    add_mark(d, "卸载点", f.marks.unload);
    add_mark(d, "顶端最大载荷", f.marks.top_spike);
    add_mark(d, "底端最小载荷", f.marks.bottom_dip);
    return d;
}

CardDiagnosis diagnose_card(const std::vector<double>& pos, const std::vector<double>& load) {
    return diagnose_card(card_stroke(pos, load));
}

CardDiagnosis diagnose(const State& st, int cycle) {
    return diagnose_card(card_stroke(st, cycle));
}

int card_cycle(const State& st, const PeriodCheck& period) {
    const std::optional<bool> agrees = period.agrees();
    return agrees && !*agrees ? period.cycle_length() : st.Circle_Num;
}

CardDiagnosis diagnose(const State& st, const PeriodCheck& period) {
    return diagnose(st, card_cycle(st, period));
}

}  // namespace tavo::condition
