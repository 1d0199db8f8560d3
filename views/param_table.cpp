// The ruled table of the electrical parameters of one stroke.
#include <array>
#include <cmath>
#include <string>

#include "common/fault.h"
#include "common/number_text.h"
#include "common/numbers.h"
#include "common/text.h"
#include "views/layout.h"
#include "views/palette.h"
#include "views/surface.h"
#include "views/views.h"

namespace tavo {

std::string mode_name(int16_t pow_mode) {
    switch (pow_mode & 7) {
        case 1:
            return "三相二通道";
        case 2:
            return "三相一通道";
        case 3:
            return "单相测试  ";
        case 4:
            return "三相三通道";
        default:
            return "";
    }
}

namespace {

// The fixed text of rows 1..12; the numbers go on its blank stretches.
const std::array<const char*, 12> kTemplates = {
    " 方式:                平均电压V:           日耗电量kW.h:    ",
    "            一象限    二象限     三象限    四象限     合 计 ",
    " 时间%                                               \u3000     ",
    " 电流A                                                 \u3000   ",
    " 有功kW                                                     ",
    " 无功kVar                                                   ",
    " 视功kVA                                                    ",
    " 功率因数                                                   ",
    "   最大上行电流A                  平均上行功率kW            ",
    "   最大下行电流A                  平均下行功率kW            ",
    "    均方根电流A                    均方根功率kW             ",
    "电流平衡度(I小/I大)             功率平衡度(P小/P大)         ",
};

// Vertical rules: x = 2.5 + 16.75 k, from rule r1 down to rule r2.
struct VRule {
    int r1, r2;
};
constexpr std::array<VRule, 7> kVRules = {{{0, 12}, {1, 8}, {0, 12}, {1, 12}, {0, 8}, {1, 12}, {0, 12}}};

// The largest size below `size` at which a text `need` long takes at most
// `room`, in whole pixels of the 96-dpi screen (0.75 pt): a face at a whole
// pixel size is drawn alike by every renderer, on screen and in the page.
double fitted_size(double size, double room, double need) {
    return std::floor(size * room / need / 0.75) * 0.75;
}

void text_at(Surface& pic, double x, double y, const std::string& s) {
    pic.set_text_pos(x, y);
    pic.print(s, true);
}

// A row's fixed text. When the rows print smaller than their full size, each
// word still starts where the full-size face puts it, since the templates
// place their words with spaces.
void template_at(Surface& pic, double y, const std::string& row, double full) {
    const double size = pic.font_size();
    if (size == full) {
        text_at(pic, 4.5, y, row);
        return;
    }
    const auto space_at = [&](std::size_t i) {
        return row[i] == ' ' ? 1 : row.compare(i, 3, "\u3000") == 0 ? 3 : 0;
    };
    std::size_t i = 0;
    while (i < row.size()) {
        while (i < row.size() && space_at(i) > 0) i += static_cast<std::size_t>(space_at(i));
        const std::size_t start = i;
        while (i < row.size() && space_at(i) == 0) ++i;
        if (i == start) break;
        pic.set_font_size(full);
        const double x = 4.5 + pic.text_width(row.substr(0, start));
        pic.set_font_size(size);
        text_at(pic, x, y, row.substr(start, i - start));
    }
}

}  // namespace

void Disp_Pow_Data(const State& st, Surface& pic) {
    pic.set_unit(Unit::Millimetre);
    pic.clear();
    pic.set_color(kBlack);
    pic.set_font("宋体");
    pic.set_font_size(10.0);

    text_at(pic, 15.5, 2.0,
            MyTrim(st.Txt_WellName) + "井电能参数       测试日期:" + left_chars(st.Txt_TestTime, 12));

    pic.set_font_size(9.0);
    // The rows keep their places; a face whose line is taller than the room
    // between a row's top and its rule (less a hair) prints the rows smaller,
    // so that no rule runs through the text.
    const double row_room = table_rule_y(1) - table_row_y(1) - 0.25, line = pic.line_height();
    if (line > row_room) pic.set_font_size(fitted_size(9.0, row_room, line));
    for (int r = 1; r <= 12; ++r) template_at(pic, table_row_y(r), kTemplates[r - 1], 9.0);

    // Row 1: test mode, mean voltage as its box shows it, daily energy.
    if (const std::string mode = mode_name(st.Pow_Mode); !mode.empty())
        text_at(pic, 14.5, table_row_y(1), mode);
    text_at(pic, 56.0, table_row_y(1), st.Text3[Box::MeanVoltage]);
    stmt([&] {
        // A value too wide for the cell up to the table's right border
        // (four digits and more in a face wider than the layout's) is
        // printed smaller, where it always starts.
        const std::string energy = printed_form(R1(checked(24.0f * st.Quad_Pow[5])));
        const std::string inked = energy.substr(0, energy.find_last_not_of(' ') + 1);
        const double room = 103.0 - 0.3 - 93.0, wide = pic.text_width(inked), size = pic.font_size();
        if (wide > room) pic.set_font_size(fitted_size(size, room, wide));
        text_at(pic, 93.0, table_row_y(1), energy);
        if (wide > room) pic.set_font_size(size);
    });

    // Quadrant block: a slot that is 0 leaves its cell empty.
    for (int j = 1; j <= 5; ++j) {
        const double x = 5.5 + 16.75 * j;
        stmt([&] {
            if (st.Quad_Num[j] != 0.0f) {
                const float share = checked(fdiv(st.Quad_Num[j], st.Quad_Num[5]) * 10000.0f);
                text_at(pic, x, table_row_y(3), printed_form(floor_half_up(share) / 100.0));
            }
        });
        if (st.Quad_Cur[j] != 0.0f) text_at(pic, x, table_row_y(4), printed_form(st.Quad_Cur[j]));
        if (st.Quad_Pow[j] != 0.0f) {
            pic.set_color(kLightRed);
            text_at(pic, x, table_row_y(5), printed_form(st.Quad_Pow[j]));
            pic.set_color(kBlack);
        }
        if (st.Quad_Var[j] != 0.0f) text_at(pic, x, table_row_y(6), printed_form(st.Quad_Var[j]));
        if (st.Quad_VA[j] != 0.0f) text_at(pic, x, table_row_y(7), printed_form(st.Quad_VA[j]));
        if (st.Quad_PF[j] != 0.0f) text_at(pic, x, table_row_y(8), printed_form(st.Quad_PF[j]));
    }

    // Stroke halves, RMS figures and the balances.
    text_at(pic, 38.5, table_row_y(9), printed_form(st.Max_Up_Cur));
    text_at(pic, 88.5, table_row_y(9), printed_form(st.Avg_Up_Pow));
    text_at(pic, 38.5, table_row_y(10), printed_form(st.Max_Down_Cur));
    text_at(pic, 88.5, table_row_y(10), printed_form(st.Avg_Down_Pow));
    text_at(pic, 38.5, table_row_y(11), printed_form(leading_number(st.Text3[Box::RmsCurrent])));
    text_at(pic, 88.5, table_row_y(11), printed_form(leading_number(st.Text3[Box::RmsPower])));
    stmt([&] {
        const double b = st.Max_Down_Cur > st.Max_Up_Cur ? ddiv(st.Max_Up_Cur, st.Max_Down_Cur)
                                                         : ddiv(st.Max_Down_Cur, st.Max_Up_Cur);
        text_at(pic, 38.5, table_row_y(12), printed_form(R2(b)));
    });
    stmt([&] {
        const double b = std::fabs(st.Avg_Down_Pow) > std::fabs(st.Avg_Up_Pow)
                             ? ddiv(st.Avg_Up_Pow, st.Avg_Down_Pow)
                             : ddiv(st.Avg_Down_Pow, st.Avg_Up_Pow);
        text_at(pic, 88.5, table_row_y(12), printed_form(R2(b)));
    });

    // Rules. The views drawn next begin with the size the table leaves.
    pic.set_font_size(9.0);
    pic.set_color(kBlack);
    for (int r = 0; r <= 12; ++r) pic.line(2.5, table_rule_y(r), 103.0, table_rule_y(r));
    for (int k = 0; k <= 6; ++k) {
        const double x = 2.5 + 16.75 * k;
        pic.line(x, table_rule_y(kVRules[k].r1), x, table_rule_y(kVRules[k].r2));
    }
}

}  // namespace tavo
