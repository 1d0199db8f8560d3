// The verified stroke period on the hard cases, and the rerun on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "condition/fine_period.h"
#include "condition/period_check.h"
#include "condition/repetition.h"
#include "condition/verified_rerun.h"
#include "condition/well_condition.h"
#include "condition_support.h"

namespace tavo {
namespace {

using condition::PeriodSource;
using samples::ModelPlan;

bool within(double got, double want, double share) {
    return std::abs(got - want) <= share * want;
}

// A real card at a long period whose start phase leads the legacy
// displacement detector to a stroke 10 % short.
TEST(ConditionPeriod, LongStrokeWhereTheDetectionIsShortIsFlaggedAndRerun) {
    const auto realdata = testing::shared_data("realdata");
    if (!realdata) GTEST_SKIP() << "needs the real card data in ../shared/realdata beside the source tree";
    const auto cards =
        samples::read_ts_cards((*realdata / "cn-oilfield-12class/OilfieldData2d_TEST_dev.ts").string());
    if (cards.size() < 40)
        GTEST_SKIP() << "needs the real card data in ../shared/realdata beside the source tree";
    ModelPlan p;
    p.period = 1076.7;
    p.phase = std::fmod(1076.7 * 0.137 + 39 * 0.31, 1.0);
    p.seed = 5;
    auto st = std::make_unique<State>();
    const auto dir = testing::temp_dir("cond-long");
    testing::analyse_model(*st, dir, cards[39], p);
    ASSERT_LT(st->Circle_Num, 1000);  // what makes the case hard

    const condition::PeriodCheck c = condition::check_period(*st);
    EXPECT_EQ(c.source, PeriodSource::Displacement);
    EXPECT_TRUE(within(c.period, p.period, 0.005)) << c.period;
    EXPECT_EQ(c.agrees(), false);
    EXPECT_NE(c.note.find("可能偏短"), std::string::npos) << c.note;
    EXPECT_NE(c.note.find("冲次应为 2.79 次/min 而非 3.13 次/min"), std::string::npos) << c.note;

    const int16_t detected = st->Circle_Num;
    const condition::PeriodCheck again = condition::rerun_with_verified_period(*st);
    EXPECT_EQ(again.detected, detected);
    EXPECT_EQ(st->Circle_Num, std::lround(c.period) + 1);
    EXPECT_EQ(st->Pow_Circle_Num, st->Circle_Num);
    EXPECT_EQ(st->CircleDot, std::to_string(st->Circle_Num));
    EXPECT_EQ(st->Sgt_Period, st->Circle_Num);  // Rec_Speed 1
    // The card over the longer cycle: the displacement still lowered to 0.
    const auto [lo, hi] = std::minmax_element(cards[39].pos.begin(), cards[39].pos.end());
    EXPECT_NEAR(st->Sgt_Stroke / 1000.0, *hi - *lo, 0.02);
    std::filesystem::remove_all(dir);
}

// A balanced unit draws two similar power humps per stroke: the power
// repeats most strongly at half the stroke.
TEST(ConditionPeriod, PowerWithTwoHumpsPerStrokeGivesTheWholeStroke) {
    ModelPlan p;
    p.period = 912.6;
    p.phase = 0.4;
    p.power_only = true;
    auto st = std::make_unique<State>();
    const auto dir = testing::temp_dir("cond-humps");
    testing::analyse_model(*st, dir, testing::model_card(), p);

    const std::vector<double> pow(st->Pow_Dat.begin(), st->Pow_Dat.begin() + 3000);
    const condition::Repetition r = condition::find_repetition(pow, 150, 1950);
    EXPECT_TRUE(r.doubled);
    EXPECT_TRUE(within(r.period, p.period, 0.005)) << r.period;

    const condition::PeriodCheck c = condition::check_period(*st);
    EXPECT_EQ(c.source, PeriodSource::Power);
    EXPECT_TRUE(within(c.period, p.period, 0.005)) << c.period;
    std::filesystem::remove_all(dir);
}

// Two and a half power-only strokes of 25 s, each drawing up to 6 % more or
// less than the last: the legacy result is 10 samples long, and the check
// must be close enough to say so (the correlation peak alone was 5 off).
TEST(ConditionPeriod, FewLongPowerStrokesAreTimedToAFractionOfASample) {
    ModelPlan p;
    p.period = 1237.7;
    p.phase = 0.26;
    p.power_only = true;
    p.noise = 0.03;
    p.cb_bias = -4.0;
    p.seed = 99;
    auto st = std::make_unique<State>();
    const auto dir = testing::temp_dir("cond-few");
    testing::analyse_model(*st, dir, testing::model_card(), p);
    ASSERT_EQ(st->Circle_Num, 1249);  // what makes the case hard

    const condition::PeriodCheck c = condition::check_period(*st);
    EXPECT_EQ(c.source, PeriodSource::Power);
    EXPECT_NEAR(c.period, p.period, 0.5);
    EXPECT_EQ(c.agrees(), false);
    std::filesystem::remove_all(dir);
}

// The last refinement from an estimate 4 samples off, on two and a half
// strokes that each draw a little more or less than the last, under an
// additive drift of half the curve's swing.
TEST(ConditionPeriod, FineRefinementIgnoresStrokeGainsAndDrift) {
    const double period = 1213.4, pi = 3.14159265358979323846;
    const double gain[] = {1.0, 1.05, 0.97};
    std::vector<double> x(3000);
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double f = static_cast<double>(i) / period + 0.3;
        const double phase = 2.0 * pi * (f - std::floor(f));
        x[i] = gain[static_cast<int>(f)] * (2.0 + std::sin(phase) + 0.6 * std::sin(2.0 * phase + 1.0)) +
               0.8 * static_cast<double>(i) / 3000.0;
    }
    EXPECT_NEAR(condition::fine_period(x, period + 4.0), period, 0.2);
    EXPECT_NEAR(condition::fine_period(x, period - 4.0), period, 0.2);
}

// Strokes that each draw a few per cent more or less than the last, over a
// large standing power: by chance every other one stands alike, which must
// not read as one stroke of twice the length.
TEST(ConditionPeriod, StrokesAlikeEveryOtherOneAreNotReadAsOne) {
    ModelPlan p;
    p.period = 833.38;
    p.phase = 0.26;
    p.power_only = true;
    p.noise = 0.03;
    p.cb_bias = 1.6;
    p.seed = 799;
    auto st = std::make_unique<State>();
    const auto dir = testing::temp_dir("cond-alike");
    testing::analyse_model(*st, dir, testing::model_card(), p);
    const condition::PeriodCheck c = condition::check_period(*st);
    EXPECT_TRUE(within(c.period, p.period, 0.005)) << c.period;
    std::filesystem::remove_all(dir);
}

// Drift of the displacement and the power, several start phases and
// periods from 5 to 25 s.
TEST(ConditionPeriod, DriftingRecordsAtShortAndLongPeriods) {
    const auto dir = testing::temp_dir("cond-drift");
    for (double period : {250.4, 611.9, 1249.3}) {
        for (bool power_only : {false, true}) {
            ModelPlan p;
            p.period = period;
            p.phase = period / 1000.0;
            p.power_only = power_only;
            p.pos_drift_m = 0.25;
            p.power_drift = 0.08;
            p.cb_bias = 3.0;
            auto st = std::make_unique<State>();
            testing::analyse_model(*st, dir, testing::model_card(), p);
            const condition::PeriodCheck c = condition::check_period(*st);
            EXPECT_TRUE(within(c.period, period, 0.005)) << period << " " << power_only << ": " << c.period;
            EXPECT_EQ(c.source, power_only ? PeriodSource::Power : PeriodSource::Displacement);
        }
    }
    std::filesystem::remove_all(dir);
}

// Only the file's own samples count: the arrays beyond its Point_Num still
// hold the longer file before it.
TEST(ConditionPeriod, ShortRecordAfterALongerOneUsesItsOwnSamplesOnly) {
    const auto dir = testing::temp_dir("cond-short");
    auto st = std::make_unique<State>();
    ModelPlan longer;
    longer.period = 1100.0;
    testing::analyse_model(*st, dir, testing::model_card(), longer, "long.O00");
    ModelPlan shorter;
    shorter.period = 333.3;
    shorter.point_num = 1400;
    testing::analyse_model(*st, dir, testing::model_card(), shorter, "short.O00");
    ASSERT_NE(st->Pos_Dat[2000], 0.0f);  // the longer file's samples are still there

    const condition::PeriodCheck c = condition::check_period(*st);
    EXPECT_EQ(c.samples, 1400);
    EXPECT_TRUE(within(c.period, 333.3, 0.005)) << c.period;
    std::filesystem::remove_all(dir);
}

// A flat record, and one too short to hold two strokes: no period, no
// agreement to report, a note that says why; no balance either.
TEST(ConditionPeriod, FlatOrTooShortRecordsAreNotVerified) {
    const auto dir = testing::temp_dir("cond-flat");
    Org_Head h;
    h.Well_Name = "FLAT";
    h.Point_Num = 3000;
    h.Test_Mode = 1;
    h.Rec_Speed = 1;
    std::vector<Org_Point> pts(3000, Org_Point{1000, 19000, 500, 1500, 3000});
    testing::write_bytes(dir / "flat.O00", testing::file_bytes(h, pts));
    h.Point_Num = 200;
    pts.resize(200);
    testing::write_bytes(dir / "few.O00", testing::file_bytes(h, pts));
    for (const char* name : {"flat.O00", "few.O00"}) {
        auto st = std::make_unique<State>();
        pick_file(*st, (dir / name).string());
        const condition::WellCondition c = condition::assess_condition(*st);
        EXPECT_FALSE(c.period.verified()) << name;
        EXPECT_FALSE(c.period.agrees().has_value()) << name;
        EXPECT_FALSE(c.period.note.empty()) << name;
        EXPECT_EQ(c.balance.verdict, condition::Verdict::Unknown) << name;
        EXPECT_FALSE(c.balance.change_kN.has_value()) << name;
        EXPECT_FALSE(c.balance.up.has_value()) << name;
    }
    std::filesystem::remove_all(dir);
}

// Where the check agrees, the rerun leaves every result as the pipeline
// left it.
TEST(ConditionPeriod, RerunChangesNothingWhereTheCheckAgrees) {
    const auto dir = testing::temp_dir("cond-agree");
    ModelPlan p;
    p.period = 600.0;
    auto st = std::make_unique<State>();
    testing::analyse_model(*st, dir, testing::model_card(), p);
    const auto before = std::make_unique<State>(*st);
    const condition::PeriodCheck c = condition::rerun_with_verified_period(*st);
    ASSERT_EQ(c.agrees(), true);
    EXPECT_NE(c.note.find("相符"), std::string::npos);
    EXPECT_EQ(st->Circle_Num, before->Circle_Num);
    EXPECT_EQ(st->Text3, before->Text3);
    EXPECT_EQ(st->Pos_Dat, before->Pos_Dat);
    std::filesystem::remove_all(dir);
}

// The correlation at each lag, one lag after the other.
std::vector<double> plain_lag_correlation(const std::vector<double>& x, int lo, int hi) {
    const int n = static_cast<int>(x.size());
    std::vector<double> s1(x.size() + 1, 0.0), s2(s1), r;
    for (int i = 0; i < n; ++i) {
        s1[i + 1] = s1[i] + x[i];
        s2[i + 1] = s2[i] + x[i] * x[i];
    }
    for (int lag = lo; lag <= hi; ++lag) {
        const int m = n - lag;
        double sab = 0.0;
        for (int i = 0; i < m; ++i) sab += x[i] * x[i + lag];
        const double sa = s1[m], sb = s1[n] - s1[lag], saa = s2[m], sbb = s2[n] - s2[lag];
        const double va = saa - sa * sa / m, vb = sbb - sb * sb / m;
        const double den = std::sqrt(va * vb);
        r.push_back(den > 1e-12 * (saa + sbb) && den > 0.0 ? (sab - sa * sb / m) / den : 0.0);
    }
    return r;
}

// Lags side by side give each lag the plain loop's value to the bit, also in
// a last block only partly filled and at a single lag.
TEST(ConditionPeriod, LagCorrelationIsThePlainOneToTheBit) {
    std::vector<double> x(997);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = std::sin(0.037 * static_cast<double>(i)) + 0.001 * static_cast<double>(i % 7);
    for (const auto& [lo, hi] : {std::pair{1, 995}, std::pair{5, 40}, std::pair{300, 300}}) {
        const std::vector<double> got = condition::lag_correlation(x, lo, hi),
                                  want = plain_lag_correlation(x, lo, hi);
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t k = 0; k < got.size(); ++k)
            EXPECT_EQ(got[k], want[k]) << "lag " << lo + static_cast<int>(k);
    }
}

// The note says where the cycle came from: a length typed by hand is the
// user's (no detection error), a recompute says it was done, and a failed
// detection says that it failed rather than giving its mark as a period.
TEST(ConditionPeriod, TheNoteFollowsWhereTheCycleCameFrom) {
    const auto dir = testing::temp_dir("cond-origin");
    ModelPlan p;
    p.period = 600.0;
    auto st = std::make_unique<State>();
    testing::analyse_model(*st, dir, testing::model_card(), p);
    const int16_t detected = st->Circle_Num;

    st->Circle_Num = 560;
    st->cycle_origin = State::CycleOrigin::Manual;
    condition::PeriodCheck c = condition::check_period(*st);
    EXPECT_EQ(c.agrees(), false);
    EXPECT_NE(c.note.find("手动周期 560 点不同于校验周期"), std::string::npos) << c.note;
    EXPECT_EQ(c.note.find("可能偏"), std::string::npos) << c.note;
    EXPECT_NE(c.note.find("程序检测周期 " + std::to_string(detected) + " 点"), std::string::npos) << c.note;

    ASSERT_TRUE(condition::rerun_with_cycle(*st, c.cycle_length()));
    EXPECT_EQ(st->cycle_origin, State::CycleOrigin::Verified);
    c = condition::check_period(*st);
    EXPECT_NE(c.note.find("结果已按校验周期重新计算"), std::string::npos) << c.note;

    st->Circle_Num = 3000;
    st->cycle_origin = State::CycleOrigin::Detected;
    c = condition::check_period(*st);
    EXPECT_TRUE(c.detection_failed());
    EXPECT_NE(c.note.find("检测失败"), std::string::npos) << c.note;
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tavo
