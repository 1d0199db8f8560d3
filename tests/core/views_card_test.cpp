#include <gtest/gtest.h>

#include "common/fault.h"
#include "common/number_text.h"
#include "views/layout.h"
#include "views/palette.h"
#include "views/recording_surface.h"
#include "views/views.h"
#include "views_test_util.h"

namespace tavo {
namespace {

using test::curve_ops;
using test::of_kind;
using test::text_at;

TEST(CardScales, DisplacementDivisionsFollowTheStroke) {
    struct Case {
        int16_t stroke;
        int D;
        double per_m;
    };
    for (const Case& c : {Case{-5, 3, 200}, Case{0, 3, 200}, Case{3000, 3, 200}, Case{3001, 4, 150},
                          Case{4000, 4, 150}, Case{4001, 5, 120}, Case{5000, 5, 120}, Case{5001, 6, 100},
                          Case{6000, 6, 100}, Case{6001, 8, 75}, Case{32767, 8, 75}}) {
        const CardScales s = card_scales(c.stroke, 0);
        EXPECT_EQ(s.D, c.D) << c.stroke;
        EXPECT_EQ(s.units_per_m, c.per_m) << c.stroke;
        EXPECT_EQ(s.D * s.units_per_m, 600.0) << c.stroke;
    }
}

TEST(CardScales, LoadDivisionsFollowTheLargestLoad) {
    struct Case {
        int16_t load;
        int N;
        double per_div, full, units, units10;
    };
    for (const Case& c :
         {Case{0, 10, 3, 30, 36, 120}, Case{3000, 10, 3, 30, 36, 120}, Case{3001, 8, 5, 40, 45, 90},
          Case{4000, 8, 5, 40, 45, 90}, Case{4001, 12, 5, 60, 30, 60}, Case{6000, 12, 5, 60, 30, 60},
          Case{6001, 8, 10, 80, 45, 45}, Case{8000, 8, 10, 80, 45, 45}, Case{8001, 10, 10, 100, 36, 36},
          Case{10000, 10, 10, 100, 36, 36}, Case{10001, 12, 10, 120, 30, 30}}) {
        const CardScales s = card_scales(0, c.load);
        EXPECT_EQ(s.N, c.N) << c.load;
        EXPECT_EQ(s.kn_per_div, c.per_div) << c.load;
        EXPECT_EQ(s.full_scale, c.full) << c.load;
        EXPECT_EQ(s.units_per_div, c.units) << c.load;
        EXPECT_EQ(s.units_per_10kn, c.units10) << c.load;
        // N divisions span the 360 units from zero up to the full scale.
        EXPECT_EQ(s.N * s.units_per_div, 360.0);
        EXPECT_EQ(s.full_scale / 10.0 * s.units_per_10kn, 360.0);
    }
}

struct CardFixture : ::testing::Test {
    State st;
    RecordingSurface rec;
    CardFixture() {
        st.picture = &rec;
        st.Txt_WellName = " 北5-3 ";
        st.Txt_TestTime = "202611040907";
        st.Rec_Spd = "1";
        st.Sgt_Period = 480;
    }
    void loaded() {
        st.Sgt_Stroke = 4800;
        st.Sgt_MaxLoad = 4567;
        st.Sgt_MinLoad = 1234;
        st.Sgt_Work = 12.345f;
        st.Sgt_Power = 1.2849f;
    }
    std::vector<std::string> panel_texts() const {
        std::vector<std::string> out;
        for (const DrawOp& op : of_kind(rec, OpKind::Text))
            if (op.x1 == card_x(625.0)) out.push_back(op.text);
        return out;
    }
};

using Lines = std::vector<std::string>;

TEST_F(CardFixture, PanelOfAWellWithoutStrokeOrLoad) {
    const auto t = card_panel(st);
    EXPECT_EQ(Lines(t.begin(), t.end()),
              (Lines{"井号:北5-3", "日期:20261104", "时间:09:07", "冲次: 6.25次", "", "", " 注意：", "",
                     "   本井未测量", "", " 冲程及载荷！", "", "", "", "", "", ""}));
}

TEST_F(CardFixture, PanelOfAWellWithoutLoad) {
    st.Sgt_Stroke = 1523;
    st.Sgt_MaxLoad = 250;
    const auto t = card_panel(st);
    EXPECT_EQ(t[4], "冲程: 1.523m");
    EXPECT_EQ(t[5], "");
    EXPECT_EQ(t[6], " 注意：");
    EXPECT_EQ(t[8], "   本井未测量");
    EXPECT_EQ(t[10], " 载荷数据！");
    EXPECT_EQ(t[12], "");
    st.Sgt_Stroke = 800;
    EXPECT_EQ(card_panel(st)[4], "冲程: .8m");
}

TEST_F(CardFixture, PanelWithTheResults) {
    loaded();
    const auto t = card_panel(st);
    EXPECT_EQ(Lines(t.begin() + 4, t.begin() + 13),
              (Lines{"冲程: 4.8m", "最大负载:", "   45.67kN", "最小负载:", "   12.34kN",
                     "作 功 量:", "   12.35kJ", "光杆功率:", "   1.28kW"}));
    EXPECT_EQ(st.Sgt_Work, 12.345f);  // only shown rounded
    st.Sgt_Work = -3.456f;
    EXPECT_EQ(card_panel(st)[10], "  -3.46kJ");
}

TEST_F(CardFixture, StrokesPerMinuteNeedAPeriod) {
    st.Sgt_Period = 0;
    EXPECT_EQ(card_panel(st)[3], "");
    st.Sgt_Period = 700;  // 4.2857...
    EXPECT_EQ(card_panel(st)[3], "冲次: 4.29次");
}

TEST_F(CardFixture, GridLabelsOfAFourMetreScale) {
    loaded();
    st.Sgt_Stroke = 3500;
    Disp_SGT(st, 0);
    for (int k = 1; k <= 4; ++k) {
        const std::string want = printed_form(static_cast<double>(k)) + (k == 4 ? " 行程(m)" : "");
        EXPECT_EQ(text_at(rec, card_x(150.0 * k) - 7.0, 153.0), want) << k;
    }
    EXPECT_EQ(text_at(rec, card_x(0.0) - 7.0, 153.0), "<none>");
    EXPECT_EQ(text_at(rec, card_x(600.0) - 7.0, 153.0), " 4  行程(m)");
    // 60 kN in 12 divisions of 5: the top label continues with the caption.
    std::vector<DrawOp> top;
    for (const DrawOp& op : of_kind(rec, OpKind::Text))
        if (op.y1 == card_y(91.0) && op.x1 < card_x(600.0)) top.push_back(op);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(top[0].x1, 5.0);
    EXPECT_EQ(top[0].text, " 60 ");
    EXPECT_FALSE(top[0].end_line);
    EXPECT_EQ(top[1].text, "负载(kN)");
    EXPECT_DOUBLE_EQ(top[1].x1, 5.0 + top[0].advance);
    EXPECT_EQ(text_at(rec, 5.0, card_y(91.0 + 30.0 * 11)), " 5 ");
    EXPECT_EQ(text_at(rec, 5.0, card_y(451.0)), " 0 ");
    EXPECT_DOUBLE_EQ(card_y(451.0), (451.0 - 60.0) / 2.6);
}

TEST_F(CardFixture, GridFramesAndStyles) {
    Disp_SGT(st, 0);
    const auto lines = of_kind(rec, OpKind::Line);
    ASSERT_EQ(lines.size(), 4u + 10u);  // 3 m by 30 kN
    for (const DrawOp& l : lines) {
        EXPECT_EQ(l.style, LineStyle::Dotted);
        EXPECT_EQ(l.width, 1);
        EXPECT_EQ(l.color, kBlack);
        EXPECT_EQ(l.unit, Unit::Point);
    }
    EXPECT_DOUBLE_EQ(lines[1].x1, 200.0 / 3.0 + 20.0);
    EXPECT_DOUBLE_EQ(lines[1].y1, card_y(91.0));
    EXPECT_DOUBLE_EQ(lines[1].y2, 150.0);
    EXPECT_DOUBLE_EQ(lines[4].x1, 220.0);  // load lines run right to left
    EXPECT_DOUBLE_EQ(lines[4].x2, 20.0);
    EXPECT_DOUBLE_EQ(lines[13].y1, card_y(91.0 + 9 * 36.0));

    const auto frames = of_kind(rec, OpKind::Rect);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].width, 2);
    EXPECT_DOUBLE_EQ(frames[0].x1, card_x(-46.0));
    EXPECT_DOUBLE_EQ(frames[0].y1, card_y(75.0));
    EXPECT_DOUBLE_EQ(frames[0].x2, card_x(820.0));
    EXPECT_DOUBLE_EQ(frames[0].y2, card_y(500.0));
    EXPECT_EQ(frames[1].width, 1);
    EXPECT_EQ(frames[1].style, LineStyle::Solid);
    EXPECT_DOUBLE_EQ(frames[1].x2, 220.0);
    EXPECT_DOUBLE_EQ(frames[2].x1, card_x(620.0));
    EXPECT_DOUBLE_EQ(frames[2].x2, 290.0);
}

TEST_F(CardFixture, PanelLinesArePitchedByTheLineHeight) {
    loaded();
    rec.set_font_size(9.0);  // what the table leaves
    Disp_SGT(st, 0);
    std::vector<DrawOp> panel;
    for (const DrawOp& op : of_kind(rec, OpKind::Text))
        if (op.x1 == card_x(625.0)) panel.push_back(op);
    ASSERT_EQ(panel.size(), 17u);
    double y = card_y(95.0);
    for (const DrawOp& op : panel) {
        y += 1.8;
        EXPECT_DOUBLE_EQ(op.y1, y) << op.text;
        EXPECT_TRUE(op.end_line);
        EXPECT_EQ(op.size, 9.0);
        y += op.line_height;
    }
    EXPECT_EQ(panel[6].text, "   45.67kN");
    EXPECT_EQ(panel[8].text, "   12.34kN");
    EXPECT_EQ(panel[10].text, "   12.35kJ");
}

TEST_F(CardFixture, TheCardIsAMagentaWidePolyline) {
    loaded();
    const int n = 5;
    for (int i = 0; i < n; ++i) {
        st.Pos_Dat[i] = 0.5f * i;
        st.Force_Dat[i] = 10.0f + i;
    }
    st.Pos_Dat[n] = 9.0f;  // past the cycle: not drawn
    Disp_SGT(st, n);
    const auto card = curve_ops(rec, kLightMagenta);
    ASSERT_EQ(card.size(), 5u);
    EXPECT_EQ(card[0].kind, OpKind::Point);
    for (int i = 1; i < n; ++i) EXPECT_EQ(card[i].kind, OpKind::LineTo);
    for (const DrawOp& op : card) EXPECT_EQ(op.width, 2);
    // 5 m stroke: 120 units a metre; 60 kN scale: 60 units per 10 kN.
    EXPECT_DOUBLE_EQ(card[4].x2, card_x(2.0f * 120.0));
    EXPECT_DOUBLE_EQ(card[4].y2, card_y(451.0 - 14.0 / 10.0 * 60.0));
    EXPECT_DOUBLE_EQ(card[1].x1, card_x(0.0));
    EXPECT_EQ(rec.ops.back().kind, OpKind::LineTo);  // not closed
}

TEST_F(CardFixture, NoticeWellsStillShowTheirCard) {
    st.Pos_Dat[0] = 0.1f;
    st.Force_Dat[0] = 2.0f;
    st.Pos_Dat[1] = 0.2f;
    Disp_SGT(st, 2);
    const auto panel = panel_texts();
    ASSERT_EQ(panel.size(), 17u);
    EXPECT_EQ(panel[10], " 冲程及载荷！");
    EXPECT_EQ(curve_ops(rec, kLightMagenta).size(), 2u);
}

TEST_F(CardFixture, DrawingAgainShowsNothingOfTheEarlierResults) {
    loaded();
    Disp_SGT(st, 0);
    const auto first = rec.ops;
    Disp_SGT(st, 0);
    EXPECT_EQ(rec.ops, first);
    st.Sgt_Stroke = 0;
    Disp_SGT(st, 0);
    const auto panel = panel_texts();
    EXPECT_EQ(panel[5], "");
    EXPECT_EQ(panel[12], "");
    EXPECT_EQ(panel[10], " 冲程及载荷！");
}

TEST_F(CardFixture, RodEngMapDisplayRefreshesThePeriod) {
    loaded();
    st.Rec_Spd = " 2";
    st.Circle_Num = 375;
    RodEngMapDisplay(st);
    EXPECT_EQ(st.Sgt_Period, 750);
    EXPECT_EQ(panel_texts().at(3), "冲次: 4次");

    // A period past 16 bits ends the call before anything is drawn.
    const auto before = rec.ops;
    st.Rec_Spd = "20";
    st.Circle_Num = 3000;
    EXPECT_THROW(RodEngMapDisplay(st), Fault);
    EXPECT_EQ(st.Sgt_Period, 750);
    EXPECT_EQ(rec.ops, before);
}

TEST_F(CardFixture, TheCardInheritsTheTablesFont) {
    loaded();
    Disp_Pow_Data(st);
    RodEngMapDisplay(st);
    for (const DrawOp& op : of_kind(rec, OpKind::Text)) {
        EXPECT_EQ(op.font, "宋体");
        EXPECT_EQ(op.size, 9.0);
    }
}

}  // namespace
}  // namespace tavo
