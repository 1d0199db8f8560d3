// The electrical curve chart: voltage, current, active and reactive power
// over one stroke (crank-angle axis) or over the whole record (time axis).
#include <string>

#include "common/fault.h"
#include "common/number_text.h"
#include "common/numbers.h"
#include "common/text.h"
#include "views/layout.h"
#include "views/palette.h"
#include "views/sample_path.h"
#include "views/surface.h"
#include "views/views.h"

namespace tavo {

ChartScales chart_scales(const State& st, int n) {
    ChartScales s;
    for (int i = 0; i < n; ++i) {
        stmt([&] {
            if (at(st.Vol_Dat, i) > s.maxU) s.maxU = at(st.Vol_Dat, i);
        });
        stmt([&] {
            if (at(st.Cur_Dat, i) > s.maxI) s.maxI = at(st.Cur_Dat, i);
        });
        stmt([&] {
            if (at(st.Pow_Dat, i) > s.maxP) s.maxP = at(st.Pow_Dat, i);
        });
        stmt([&] {
            if (at(st.Var_Dat, i) > s.maxQ) s.maxQ = at(st.Var_Dat, i);
        });
    }
    float m = s.maxP;
    if (s.maxI > m) m = s.maxI;
    if (s.maxQ > m) m = s.maxQ;
    s.topL = 25.0 * floor_down(static_cast<double>(m / 25.0f) + 0.5) + 25.0;
    s.stepL = floor_down(s.topL / 5.0);
    s.topR = 50.0 * floor_down(static_cast<double>(s.maxU / 50.0f) + 0.99999);
    s.stepR = floor_down(s.topR / 5.0);
    s.crank = n <= 2450;
    if (s.crank) {
        s.spm = n / 85.0;
    } else {
        s.p = (n - 1) / 250 + 1;
        s.spm = 250.0 * s.p / 85.0;
    }
    return s;
}

namespace {

// One curve: a point at sample 0, then lines from the current point. A
// sample whose position cannot be computed is left out.
void draw_curve(Surface& pic, const SampleArray& dat, int n, double top, const ChartScales& s, float X0,
                float Y0) {
    auto pos = [&](int i, double& x, double& y) {
        x = X0 + ddiv(i, s.spm);
        y = Y0 + 40.0 - ddiv(40.0 * at(dat, i), top);
    };
    draw_sample_path(pic, n, pos);
}

}  // namespace

void iup_line_form(const State& st, Surface& pic, float xx, float yy) {
    const float X0 = xx, Y0 = yy;
    const int n = st.Pow_Circle_Num;
    const ChartScales s = chart_scales(st, n);

    pic.set_unit(Unit::Millimetre);
    pic.set_font_size(9.0);
    pic.clear();
    pic.set_color(kBlack);
    pic.set_line_width(1);
    pic.set_line_style(LineStyle::Dotted);

    // Left value grid, top down to one step below zero.
    for (int k = 0; k <= 6; ++k) {
        const double y = Y0 + 8.0 * k;
        pic.line(X0 + 85.0, y, X0, y);
        pic.set_text_pos(X0 - 6.0, y - 1.5);
        pic.print(printed_form(s.topL - k * s.stepL), true);
    }

    // Vertical grid and the horizontal axis labels.
    if (s.crank) {
        for (int j = 0; j <= 8; ++j) {
            const double x = X0 + 10.625 * j;
            pic.line(x, Y0, x, Y0 + 48.0);
            pic.set_text_pos(x - 3.0, Y0 + 49.0);
            pic.print(printed_form(45.0 * j), true);
        }
    } else {
        for (int j = 0; j <= s.p; ++j) {
            const double x = X0 + 85.0 * j / s.p;
            pic.line(x, Y0, x, Y0 + 48.0);
            pic.set_text_pos(x - 3.0, Y0 + 49.0);
            pic.print(printed_form(5.0 * j), true);
        }
    }

    // Right value grid; its bottom line is solid, and so is everything after.
    for (int k = 0; k <= 6; ++k) {
        const double y = Y0 + 8.0 * k;
        pic.set_line_style(k < 6 ? LineStyle::Dotted : LineStyle::Solid);
        pic.line(X0, y, X0 + 85.0, y);
        pic.set_text_pos(X0 + 85.0, y - 1.5);
        pic.print(printed_form(s.topR - k * s.stepR), true);
    }

    pic.set_line_width(1);
    pic.set_color(kLightMagenta);
    draw_curve(pic, st.Vol_Dat, n, s.topR, s, X0, Y0);
    pic.set_color(kLightRed);
    draw_curve(pic, st.Cur_Dat, n, s.topL, s, X0, Y0);
    pic.set_color(kYellow);
    draw_curve(pic, st.Var_Dat, n, s.topL, s, X0, Y0);
    pic.set_color(kLightBlue);
    draw_curve(pic, st.Pow_Dat, n, s.topL, s, X0, Y0);

    pic.set_line_width(2);
    pic.set_color(kBlack);
    pic.rect(X0, Y0, X0 + 85.0, Y0 + 48.0);
    pic.set_line_width(1);

    // Title, trimmed of blanks at both ends.
    std::string name = st.Txt_WellName;
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    pic.set_color(kBlack);
    pic.set_text_pos(X0 + 6.0, Y0 - 9.0);
    pic.print(name + "井电能参数曲线      测试日期:" + left_chars(st.Txt_TestTime, 12), true);

    // Legend on one line.
    pic.set_text_pos(X0 - 6.0, Y0 - 4.5);
    pic.set_color(kLightRed);
    pic.print("电流(A) ", false);
    pic.set_color(kLightBlue);
    pic.print("有功功率(kW) ", false);
    pic.set_color(kYellow);
    pic.print("无功功率(kVar)", false);
    pic.set_text_pos(X0 + 81.0, pic.text_y());
    pic.set_color(kLightMagenta);
    pic.print("电压(V)", true);

    pic.set_color(kBlack);
    pic.set_text_pos(X0 + 62.8, Y0 + 44.0);
    pic.print(s.crank ? "曲柄转角(deg)" : "记录时间(S)", true);
}

}  // namespace tavo
