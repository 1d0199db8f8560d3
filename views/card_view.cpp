// The dynamometer card: load over displacement for one stroke, with the
// parameter panel on the right.
#include <algorithm>
#include <array>
#include <cmath>
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

CardScales card_scales(int16_t sgt_stroke, int16_t sgt_max_load) {
    CardScales s;
    if (sgt_stroke <= 3000) {
        s.D = 3, s.units_per_m = 200.0;
    } else if (sgt_stroke <= 4000) {
        s.D = 4, s.units_per_m = 150.0;
    } else if (sgt_stroke <= 5000) {
        s.D = 5, s.units_per_m = 120.0;
    } else if (sgt_stroke <= 6000) {
        s.D = 6, s.units_per_m = 100.0;
    } else {
        s.D = 8, s.units_per_m = 75.0;
    }
    struct Row {
        int N;
        double per_div, full, units, units10;
    };
    Row r;
    if (sgt_max_load <= 3000)
        r = {10, 3.0, 30.0, 36.0, 120.0};
    else if (sgt_max_load <= 4000)
        r = {8, 5.0, 40.0, 45.0, 90.0};
    else if (sgt_max_load <= 6000)
        r = {12, 5.0, 60.0, 30.0, 60.0};
    else if (sgt_max_load <= 8000)
        r = {8, 10.0, 80.0, 45.0, 45.0};
    else if (sgt_max_load <= 10000)
        r = {10, 10.0, 100.0, 36.0, 36.0};
    else
        r = {12, 10.0, 120.0, 30.0, 30.0};
    s.N = r.N, s.kn_per_div = r.per_div, s.full_scale = r.full;
    s.units_per_div = r.units, s.units_per_10kn = r.units10;
    return s;
}

std::array<std::string, 17> card_panel(const State& st) {
    std::array<std::string, 17> t;
    const std::string& tt = st.Txt_TestTime;
    t[0] = "井号:" + MyTrim(st.Txt_WellName);
    t[1] = "日期:" + left_chars(tt, 8);
    const std::string last4 = right_chars(tt, 4);
    t[2] = "时间:" + left_chars(last4, 2) + ":" + right_chars(tt, 2);
    stmt([&] {
        const double spm = floor_half_up(ddiv(3000.0, st.Sgt_Period) * 100.0) / 100.0;
        t[3] = "冲次:" + sign_form(spm) + "次";
    });
    const std::string notice = " 注意：";
    const std::string not_measured = "   本井未测量";
    if (st.Sgt_Stroke <= 300) {
        t[6] = notice;
        t[8] = not_measured;
        t[10] = " 冲程及载荷！";
        return t;
    }
    t[4] = "冲程:" + sign_form(st.Sgt_Stroke / 1000.0) + "m";
    if (st.Sgt_MaxLoad <= 300) {
        t[6] = notice;
        t[8] = not_measured;
        t[10] = " 载荷数据！";
        return t;
    }
    t[5] = "最大负载:";
    t[6] = "  " + sign_form(st.Sgt_MaxLoad / 100.0) + "kN";
    t[7] = "最小负载:";
    t[8] = "  " + sign_form(st.Sgt_MinLoad / 100.0) + "kN";
    t[9] = "作 功 量:";
    stmt([&] { t[10] = "  " + sign_form(floor_half_up(checked(st.Sgt_Work * 100.0f)) / 100.0) + "kJ"; });
    t[11] = "光杆功率:";
    stmt([&] { t[12] = "  " + sign_form(floor_half_up(checked(st.Sgt_Power * 100.0f)) / 100.0) + "kW"; });
    return t;
}

void RodEngMapDisplay(State& st, Surface& pic) {
    // A period that does not fit 16 bits passes to the caller, nothing drawn.
    st.Sgt_Period = to_i16(leading_number(st.Rec_Spd) * st.Circle_Num);
    Disp_SGT(st, pic, st.Circle_Num);
}

void Disp_SGT(const State& st, Surface& pic, int16_t gt_num) {
    const int n = gt_num;
    const CardScales s = card_scales(st.Sgt_Stroke, st.Sgt_MaxLoad);
    const std::array<std::string, 17> panel = card_panel(st);

    pic.set_unit(Unit::Point);
    pic.clear();
    pic.set_line_width(1);
    pic.set_line_style(LineStyle::Dotted);
    pic.set_color(kBlack);

    // Displacement grid, one line per metre.
    for (int k = 0; k <= s.D; ++k) {
        const double bx = 600.0 * k / s.D;
        pic.line(card_x(bx), card_y(91.0), card_x(bx), card_y(450.0));
        if (k >= 1) {
            pic.set_text_pos(card_x(bx) - 7.0, card_y(450.0) + 3.0);
            pic.print(printed_form(static_cast<double>(k)) + (k == s.D ? " 行程(m)" : ""), true);
        }
    }

    // Load grid from the full scale down; the zero label has no line.
    for (int k = 0; k < s.N; ++k) {
        const double by = 91.0 + k * s.units_per_div;
        pic.line(card_x(600.0), card_y(by), card_x(0.0), card_y(by));
        pic.set_text_pos(card_x(0.0) - 15.0, card_y(by));
        const std::string label = printed_form(s.full_scale - k * s.kn_per_div);
        if (k == 0) {
            pic.print(label, false);
            pic.print("负载(kN)", true);
        } else {
            pic.print(label, true);
        }
    }
    pic.set_text_pos(card_x(0.0) - 15.0, card_y(451.0));
    pic.print(printed_form(0.0), true);

    pic.set_line_width(2);
    pic.rect(card_x(-46.0), card_y(75.0), card_x(820.0), card_y(500.0));
    pic.set_line_width(1);
    pic.set_line_style(LineStyle::Solid);
    pic.rect(card_x(0.0), card_y(91.0), card_x(600.0), card_y(450.0));
    pic.rect(card_x(620.0), card_y(91.0), card_x(810.0), card_y(450.0));

    // Panel text; the pitch is the font's line height plus 1.8 pt. Where
    // the face's lines would carry the last line past the panel's lower
    // border, the space between lines shrinks first, then the font (for the
    // panel alone), as it does for a line past the right border, so that
    // every figure is inside.
    pic.set_color(kBlack);
    const double px = card_x(625.0);
    const double start = card_y(95.0);
    int last = 0;
    double widest = 0.0;
    for (int i = 0; i < static_cast<int>(panel.size()); ++i) {
        const std::string& line = panel[static_cast<std::size_t>(i)];
        if (line.empty()) continue;
        last = i;
        widest = std::max(widest, pic.text_width(line));
    }
    const double size = pic.font_size();
    const double room_h = card_y(450.0) - 1.0 - start, room_w = card_x(810.0) - 1.0 - px;
    const double lines = last + 1, h = pic.line_height();
    double gap = 1.8, fit = 1.0;
    if (lines * (h + gap) > room_h) {
        gap = std::max(0.0, room_h / lines - h);
        if (lines * h > room_h) fit = room_h / (lines * h);
    }
    if (widest > room_w) fit = std::min(fit, room_w / widest);
    if (fit < 1.0) pic.set_font_size(std::floor(size * fit * 4.0) / 4.0);  // quarter points
    pic.set_text_pos(px, start);
    for (const std::string& line : panel) {
        pic.set_text_pos(px, pic.text_y() + gap);
        pic.print(line, true);
    }
    if (fit < 1.0) pic.set_font_size(size);

    // The card, not closed and not clipped.
    pic.set_line_width(2);
    pic.set_color(kLightMagenta);
    auto pos = [&](int i, double& x, double& y) {
        x = card_x(at(st.Pos_Dat, i) * s.units_per_m);
        y = card_y(451.0 - at(st.Force_Dat, i) / 10.0 * s.units_per_10kn);
    };
    draw_sample_path(pic, n, pos);
}

void draw_as_clicked(State& st, Surface& pic, const std::string& view) {
    iup_line_form(st, pic, 10.0f, 10.0f);
    if (view != "chart") Disp_Pow_Data(st, pic);
    if (view == "card") RodEngMapDisplay(st, pic);
}

}  // namespace tavo
