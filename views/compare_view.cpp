#include "views/compare_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/numbers.h"
#include "common/text.h"
#include "views/palette.h"
#include "views/plot_frame.h"

namespace tavo {

namespace {

using plot::Axis;
using plot::draw_curve;
using plot::draw_frame;
using plot::figure;
using plot::Frame;
using plot::nice_axis;
using plot::text;

// Distinct, readable colours of the palette, in the order tests get them.
constexpr int kColors[kCompareMaxTests] = {12, 9, 2, 13, 4, 3, 5, 6};

constexpr double kWidth = 180.0;
constexpr double kLegendTop = 11.0, kPitch = 4.6, kPlotH = 58.0, kRowH = 5.0;
constexpr int kTableRows = 12;

int legend_rows(int n) {
    return (n + 1) / 2;
}

}  // namespace

double crank_angle(int i, int bottom, int n) {
    if (n <= 0) return 0.0;
    const int k = ((i - bottom) % n + n) % n;
    return 360.0 * k / n;
}

CompareTest compare_test(const State& st) {
    CompareTest t;
    const std::string& tt = st.Txt_TestTime;
    t.well = MyTrim(st.Txt_WellName);
    t.date = left_chars(tt, 8);
    const std::string last4 = right_chars(tt, 4);
    t.time = left_chars(last4, 2) + ":" + right_chars(tt, 2);
    if (st.last_load.kind == Problem::Kind::ShortSamples) {
        t.records_read = static_cast<int>(st.last_load.records_read);
        t.records_expected = static_cast<int>(st.last_load.records_expected);
    }

    const bool has_card = st.Sgt_Stroke > 300 && st.Sgt_MaxLoad > 300;
    const int n = std::clamp<int>(st.Circle_Num, 0, kMaxSamples);
    int bottom = 0;
    if (has_card && n > 0) {
        for (int i = 0; i < n; ++i) {
            const auto ii = static_cast<std::size_t>(i);
            t.card.emplace_back(st.Pos_Dat[ii], st.Force_Dat[ii]);
            if (st.Pos_Dat[ii] < st.Pos_Dat[static_cast<std::size_t>(bottom)]) bottom = i;
        }
    }
    const int np = std::clamp<int>(st.Pow_Circle_Num, 0, kMaxSamples);
    t.angle_from_rod = has_card && n == np && n > 0;
    for (int i = 0; i < np; ++i)
        t.power.emplace_back(crank_angle(i, t.angle_from_rod ? bottom : 0, np),
                             st.Pow_Dat[static_cast<std::size_t>(i)]);
    std::sort(t.power.begin(), t.power.end());

    if (st.Sgt_Period > 0) t.spm = floor_half_up(3000.0 / st.Sgt_Period * 100.0) / 100.0;
    if (st.Sgt_Stroke > 300) t.stroke_m = st.Sgt_Stroke / 1000.0;
    if (has_card) {
        t.max_load_kN = st.Sgt_MaxLoad / 100.0;
        t.min_load_kN = st.Sgt_MinLoad / 100.0;
        t.work_kJ = st.Sgt_Work;
        t.rod_power_kW = st.Sgt_Power;
    }
    return t;
}

CompareSize compare_size(int n) {
    n = std::clamp(n, 1, kCompareMaxTests);
    const double plots_top = kLegendTop + kPitch * legend_rows(n) + 8.0;
    return {kWidth, plots_top + kPlotH + 12.0 + kRowH * (kTableRows + 1) + 4.0};
}

int compare_color(int k) {
    return kColors[((k % kCompareMaxTests) + kCompareMaxTests) % kCompareMaxTests];
}

void draw_compare(Surface& pic, const std::vector<CompareTest>& all) {
    const std::vector<CompareTest> tests(
        all.begin(),
        all.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(all.size(), kCompareMaxTests)));
    const int n = static_cast<int>(tests.size());
    pic.set_unit(Unit::Millimetre);
    pic.clear();
    pic.set_font_size(9.0);
    pic.set_line_width(1);
    pic.set_line_style(LineStyle::Solid);

    pic.set_font_size(12.0);
    text(pic, 6.0, 3.0, "测试对比");
    pic.set_font_size(9.0);

    // Legend: a short stroke of the test's colour, then well, date and time.
    for (int k = 0; k < n; ++k) {
        // Two legend entries a row.
        const int row = k / 2;
        const double x = 6.0 + (k % 2) * 88.0, y = kLegendTop + kPitch * row;
        pic.set_color(compare_color(k));
        pic.set_line_width(2);
        pic.line(x, y + 1.9, x + 7.0, y + 1.9);
        pic.set_line_width(1);
        const CompareTest& t = tests[static_cast<std::size_t>(k)];
        std::string entry = std::to_string(k + 1) + ". " + t.well + "  " + t.date + "  " + t.time;
        if (t.incomplete())
            entry += "  不完整：" + std::to_string(t.records_read) + "/" +
                     std::to_string(t.records_expected) + " 点";
        text(pic, x + 9.0, y, entry, compare_color(k));
    }

    // Common scales over every test.
    double dmax = 0.0, lmin = 0.0, lmax = 0.0, pmin = 0.0, pmax = 0.0;
    bool any_card = false, all_from_rod = n > 0;
    for (const CompareTest& t : tests) {
        for (const auto& [d, l] : t.card) {
            if (!std::isfinite(d) || !std::isfinite(l)) continue;
            dmax = std::max(dmax, d), lmin = std::min(lmin, l), lmax = std::max(lmax, l);
            any_card = true;
        }
        for (const auto& [a, p] : t.power)
            if (std::isfinite(p)) pmin = std::min(pmin, p), pmax = std::max(pmax, p);
        all_from_rod = all_from_rod && t.angle_from_rod;
    }
    const double top = kLegendTop + kPitch * legend_rows(std::max(n, 1)) + 8.0;
    Frame card{16.0,
               top,
               68.0,
               kPlotH,
               nice_axis(0.0, any_card ? dmax : 3.0),
               nice_axis(lmin, any_card ? lmax : 30.0)};
    Frame power{
        106.0, top, 68.0, kPlotH, Axis{0.0, 360.0, 45.0}, nice_axis(pmin, pmax > pmin ? pmax : pmin + 10.0)};

    draw_frame(pic, card, "示功图  载荷(kN)", "位移(m)");
    draw_frame(pic, power, all_from_rod ? "电机有功功率(kW)  下死点=0°" : "电机有功功率(kW)  周期起点=0°",
               "曲柄转角(°)");
    for (int k = 0; k < n; ++k) {
        pic.set_color(compare_color(k));
        pic.set_line_width(2);
        draw_curve(pic, card, tests[static_cast<std::size_t>(k)].card, true);
        pic.set_line_width(1);
        draw_curve(pic, power, tests[static_cast<std::size_t>(k)].power, false);
    }

    // The table of key figures, one column per test.
    const double ty = top + kPlotH + 12.0;
    const double label_w = 34.0, col_w = (kWidth - 8.0 - label_w) / std::max(n, 1);
    struct Row {
        const char* label;
        std::string (*value)(const CompareTest&);
    };
    static const Row rows[kTableRows] = {
        {"冲次(次/min)", [](const CompareTest& t) { return figure(t.spm, 2); }},
        {"冲程(m)", [](const CompareTest& t) { return figure(t.stroke_m, 2); }},
        {"最大载荷(kN)", [](const CompareTest& t) { return figure(t.max_load_kN, 2); }},
        {"最小载荷(kN)", [](const CompareTest& t) { return figure(t.min_load_kN, 2); }},
        {"作功量(kJ)", [](const CompareTest& t) { return figure(t.work_kJ, 2); }},
        {"光杆功率(kW)", [](const CompareTest& t) { return figure(t.rod_power_kW, 2); }},
        {"电流比(下/上)", [](const CompareTest& t) { return figure(t.current_ratio, 2); }},
        {"功率比(下/上)", [](const CompareTest& t) { return figure(t.power_ratio, 2); }},
        {"平衡调整(kN)", [](const CompareTest& t) { return figure(t.counterbalance_kN, 1, true); }},
        {"工况", [](const CompareTest& t) { return t.condition.empty() ? std::string("—") : t.condition; }},
        {"泵充满度(%)", [](const CompareTest& t) { return figure(t.fillage_pct, 0); }},
        {"产液量(m³/d)", [](const CompareTest& t) { return figure(t.liquid_m3_d, 1); }},
    };
    pic.set_color(kBlack);
    pic.set_line_width(1);
    pic.set_line_style(LineStyle::Solid);
    for (int r = 0; r <= kTableRows + 1; ++r) {
        pic.set_line_width(r == 0 || r == 1 || r == kTableRows + 1 ? 2 : 1);
        pic.line(4.0, ty + r * kRowH, kWidth - 4.0, ty + r * kRowH);
    }
    pic.set_line_width(1);
    text(pic, 6.0, ty + 1.2, "项目");
    for (int r = 0; r < kTableRows; ++r) text(pic, 6.0, ty + (r + 1) * kRowH + 1.2, rows[r].label);
    for (int k = 0; k < n; ++k) {
        const double x = 4.0 + label_w + k * col_w;
        pic.set_color(kBlack);
        pic.line(x, ty, x, ty + (kTableRows + 1) * kRowH);
        const CompareTest& t = tests[static_cast<std::size_t>(k)];
        text(pic, x + 2.0, ty + 1.2, std::to_string(k + 1) + ". " + t.well, compare_color(k));
        for (int r = 0; r < kTableRows; ++r) text(pic, x + 2.0, ty + (r + 1) * kRowH + 1.2, rows[r].value(t));
    }
}

}  // namespace tavo
