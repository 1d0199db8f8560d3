#include <gtest/gtest.h>

#include "common/fault.h"
#include "support/ops.h"
#include "views/layout.h"
#include "views/recording_surface.h"
#include "views/views.h"

namespace tavo {
namespace {

using testing::of_kind;

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

TEST_F(CardFixture, DrawingAgainShowsNothingOfTheEarlierResults) {
    loaded();
    Disp_SGT(st, rec, 0);
    const auto first = rec.ops;
    Disp_SGT(st, rec, 0);
    EXPECT_EQ(rec.ops, first);
    st.Sgt_Stroke = 0;
    Disp_SGT(st, rec, 0);
    const auto panel = panel_texts();
    EXPECT_EQ(panel[5], "");
    EXPECT_EQ(panel[12], "");
    EXPECT_EQ(panel[10], " 冲程及载荷！");
}

TEST_F(CardFixture, RodEngMapDisplayRefreshesThePeriod) {
    loaded();
    st.Rec_Spd = " 2";
    st.Circle_Num = 375;
    RodEngMapDisplay(st, rec);
    EXPECT_EQ(st.Sgt_Period, 750);
    EXPECT_EQ(panel_texts().at(3), "冲次: 4次");

    // A period past 16 bits ends the call before anything is drawn.
    const auto before = rec.ops;
    st.Rec_Spd = "20";
    st.Circle_Num = 3000;
    EXPECT_THROW(RodEngMapDisplay(st, rec), Fault);
    EXPECT_EQ(st.Sgt_Period, 750);
    EXPECT_EQ(rec.ops, before);
}

}  // namespace
}  // namespace tavo
