// The analysis of one test: the sample arrays, the cycle lengths, the header
// record, the results of the calculations, and the header and result texts
// the procedures read and write (the window shows them in its boxes).
// Everything starts at zero or at the window's initial texts. What only a
// front end has (export target, drawing area, its services) is the
// session's (session/session.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/problem.h"
#include "record/org_records.h"

namespace tavo {

constexpr int kArrayLen = 3001;  // indices 0..3000; 0..2999 hold samples
constexpr int kMaxSamples = 3000;

using SampleArray = std::array<float, kArrayLen>;
using QuadTable = std::array<float, 6>;  // slots 1..5 used; slot 0 unused

// What Save_Data did; a failure's problem is of kind CannotWriteBack.
struct SaveReport {
    enum class Kind { Written, Declined, Failed };
    Kind kind = Kind::Failed;
    std::string path;
    Problem problem;
};

// The positions of the result boxes Text3, in the window's order.
struct Box {
    enum Index : std::size_t {
        TestDate,          // its label only
        InputPower,        // kW
        RodPower,          // polished-rod power, kW
        UpDownPower,       // up/down-stroke mean power, kW
        UpDownCurrent,     // up/down-stroke maximum current, A
        MeanVoltage,       // V
        MeanCurrent,       // A
        ApparentPower,     // kVA
        ReactivePower,     // kvar
        PowerFactor,       //
        RmsCurrent,        // A
        RmsPower,          // kW
        Stroke,            // m
        StrokesPerMinute,  // 1/min
        StrokeLoss,        // its label only
        Count
    };
};

struct State {
    // ---- sample arrays ----
    SampleArray Cur_Dat{}, Vol_Dat{}, Pow_Dat{}, Var_Dat{}, VA_Dat{}, PF_Dat{}, Pos_Dat{}, Force_Dat{};

    int16_t Circle_Num = 0;
    int16_t Pow_Circle_Num = 0;
    // Where Circle_Num came from: the pipeline's detection, a length typed
    // into the cycle box, or the recompute with the verified period; and
    // what the detection gave, which the other two replace.
    enum class CycleOrigin { Detected, Manual, Verified };
    CycleOrigin cycle_origin = CycleOrigin::Detected;
    int16_t detected_cycle = 0;
    float Circle_Corr = 0.0f;
    float Circle_Tol = 0.0f;
    std::string Cur_File;

    Org_Head head;    // header record of the file last read
    Org_Point point;  // sample buffer

    // ---- electrical results ----
    QuadTable Quad_Num{}, Quad_Cur{}, Quad_Pow{}, Quad_Var{}, Quad_VA{}, Quad_PF{};
    double Max_Up_Cur = 0.0, Max_Down_Cur = 0.0, Avg_Up_Pow = 0.0, Avg_Down_Pow = 0.0;
    int16_t Pow_Mode = 0;

    // ---- card results ----
    int16_t Sgt_Period = 0, Sgt_Stroke = 0, Sgt_MaxLoad = 0, Sgt_MinLoad = 0;
    float Sgt_Work = 0.0f, Sgt_Power = 0.0f;

    // ---- header and result texts, shown in the window's boxes ----
    std::string Txt_WellName, Txt_TestTime, Rec_Spd, CircleDot;
    std::array<std::string, Box::Count> Text3 = {
        "测试日期", "输入功率", "光杆功率",   "工作功率",   "工作电流", "平均电压", "平均电流", "视在功率",
        "无功功率", "功率因数", "均方根电流", "均方根功率", "实测冲程", "实测冲次", "冲程损失"};
    bool Chk_POW = false, Chk_SGT = false;

    // ---- what the last reading met ----
    // CannotOpen, ShortHeader and NoSamples left the rest of the state as
    // it was; ShortSamples is a test of the records the file holds. Before
    // the first reading: no problem and no records (see analysed()).
    Problem last_load;
};

}  // namespace tavo
