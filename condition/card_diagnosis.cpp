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

// A named feature in words, with its value.
std::string evidence_text(int feature, double v) {
    const double p = static_cast<double>(percent(v));
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
            return format("上冲程载荷线斜率 %+.2f（载荷范围/冲程，水平为 0）", v);
        case kDownSlope:
            return format("下冲程载荷线斜率 %+.2f（载荷范围/冲程，水平为 0）", v);
        case kAreaRatio:
            return format("示功图面积为外接矩形的 %.0f %%", p);
        case kMinMaxRatio:
            return format("最小载荷为最大载荷的 %.0f %%", p);
        // Below 3 % of the range a spike or a dip is not there; saying so is the evidence.
        case kTopSpike:
            if (v >= 0.03) return format("冲程顶端载荷尖峰高出上载荷线 %.0f %%载荷范围", p);
            return format(v >= 0.0 ? "冲程顶端没有载荷尖峰（最大载荷高出上载荷线 %.0f %%载荷范围）"
                                   : "冲程顶端没有载荷尖峰（最大载荷低于上载荷线 %.0f %%载荷范围）",
                          std::abs(p));
        case kBottomDip:
            if (v >= 0.03) return format("冲程底端最小载荷低于下载荷线 %.0f %%载荷范围", p);
            return format(v >= 0.0 ? "冲程底端没有载荷低谷（最小载荷低于下载荷线 %.0f %%载荷范围）"
                                   : "冲程底端没有载荷低谷（最小载荷高出下载荷线 %.0f %%载荷范围）",
                          std::abs(p));
        // A negative difference is told the other way round, not as "-25 % lower".
        case kTopDrop:
            return format(v >= 0.0 ? "冲程顶端上冲程载荷比上载荷线低 %.0f %%载荷范围"
                                   : "冲程顶端上冲程载荷比上载荷线高 %.0f %%载荷范围",
                          std::abs(p));
        case kBottomRise:
            return format(v >= 0.0 ? "冲程底端下冲程载荷比下载荷线高 %.0f %%载荷范围"
                                   : "冲程底端下冲程载荷比下载荷线低 %.0f %%载荷范围",
                          std::abs(p));
        case kVibration:
            return format("载荷波动（6 至 30 次谐波）为载荷范围的 %.1f %%", v * 100.0);
        case kUpTime:
            return format("上冲程占周期的 %.0f %%", p);
        case kStroke:
            return format("冲程 %.2f m", v);
        case kMaxLoad:
            return format("最大载荷 %.1f kN", v);
        case kMinLoad:
            return format("最小载荷 %.1f kN", v);
        case kLoadRange:
            return format("载荷范围（最大减最小载荷）%.1f kN", v);
        default:
            return card_feature_name(feature) + format(" = %.3f", v);
    }
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
    const std::vector<double> p = card_model_proba(f);
    std::vector<int> order(p.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return p[static_cast<std::size_t>(a)] > p[static_cast<std::size_t>(b)];
    });

    CardDiagnosis d;
    d.condition = card_model_class(order[0]);
    d.name = condition_name(d.condition);
    d.confidence = p[static_cast<std::size_t>(order[0])];
    if (order.size() > 1) {
        d.runner_up = card_model_class(order[1]);
        d.runner_up_name = condition_name(d.runner_up);
    }

    // The features that pushed the verdict most, in words.
    const std::vector<double> share = card_model_contributions(f, order[0]);
    std::vector<int> by(share.size());
    std::iota(by.begin(), by.end(), 0);
    std::stable_sort(by.begin(), by.end(), [&](int a, int b) {
        return share[static_cast<std::size_t>(a)] > share[static_cast<std::size_t>(b)];
    });
    for (int k : by) {
        if (static_cast<int>(d.evidence.size()) == kEvidenceCount) break;
        if (share[static_cast<std::size_t>(k)] <= 0.0 && !d.evidence.empty()) break;
        d.evidence.push_back(evidence_text(k, f.value[static_cast<std::size_t>(k)]));
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
