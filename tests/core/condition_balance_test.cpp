// The balance on model data with a known counterbalance, efficiency and
// idle losses.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "condition/stroke_split.h"
#include "condition/well_condition.h"
#include "condition_support.h"

namespace tavo {
namespace {

using condition::Verdict;
using samples::ModelPlan;

condition::WellCondition assess(const ModelPlan& p, samples::ModelTruth& truth,
                                const condition::BalanceSettings& settings = {}) {
    const auto dir = testing::temp_dir("cond-balance");
    auto st = std::make_unique<State>();
    truth = testing::analyse_model(*st, dir, testing::model_card(), p);
    std::filesystem::remove_all(dir);
    return condition::assess_condition(*st, settings);
}

// Too little counterbalance makes the up-stroke work harder; too much the
// down-stroke. The change that balances the unit is found both ways, in
// size, and the idle losses from the record.
TEST(ConditionBalance, CounterbalanceOffEitherWayIsFoundWithItsSize) {
    for (double bias : {-5.0, 5.0}) {
        ModelPlan p;
        p.period = 650.0;
        p.phase = 0.7;
        p.cb_bias = bias;  // model counterbalance minus the balancing one
        p.idle_kw = 1.2;
        samples::ModelTruth truth;
        const condition::WellCondition c = assess(p, truth);
        const condition::Balance& b = c.balance;
        ASSERT_TRUE(b.change_kN.has_value());
        EXPECT_NEAR(*b.change_kN, truth.needed_change_kn, 0.05 * std::abs(truth.needed_change_kn)) << bias;
        EXPECT_NEAR(b.idle_kW, 1.2, 0.15) << bias;
        EXPECT_NEAR(b.stroke_m, 3.0, 0.05);
        ASSERT_TRUE(b.up && b.down && b.power_ratio && b.current_ratio);
        if (bias < 0.0) {
            EXPECT_EQ(b.verdict, Verdict::AddCounterbalance);
            EXPECT_LT(*b.power_ratio, 0.8);
            EXPECT_GT(b.up->energy_kJ, b.down->energy_kJ);
            EXPECT_NE(b.note.find("应加重或外移平衡块"), std::string::npos) << b.note;
        } else {
            EXPECT_EQ(b.verdict, Verdict::ReduceCounterbalance);
            EXPECT_GT(*b.power_ratio, 1.2);
            EXPECT_GT(b.down->max_current_A, b.up->max_current_A);
            EXPECT_NE(b.note.find("应减轻或内移平衡块"), std::string::npos) << b.note;
        }
    }
}

// A balanced unit is balanced under the default band; a narrow band set
// by the user judges a small offset.
TEST(ConditionBalance, TheBandDecidesWhatIsBalanced) {
    ModelPlan p;
    p.period = 820.0;
    p.cb_bias = 0.0;
    samples::ModelTruth truth;
    condition::WellCondition c = assess(p, truth);
    EXPECT_EQ(c.balance.verdict, Verdict::Balanced) << c.balance.note;
    EXPECT_NEAR(c.balance.change_kN.value_or(99.0), 0.0, 0.3);

    p.cb_bias = -1.0;
    condition::BalanceSettings narrow;
    narrow.band_low = 0.98;
    narrow.band_high = 1.02;
    c = assess(p, truth, narrow);
    EXPECT_EQ(c.balance.verdict, Verdict::AddCounterbalance) << c.balance.note;
    EXPECT_NE(c.balance.note.find("98%–102%"), std::string::npos) << c.balance.note;
}

// Far too much counterbalance: the motor generates on the up-stroke on
// average, where a ratio of mean powers means nothing. No ratio, the
// reason instead, and the way and size from the rod work.
TEST(ConditionBalance, AStrokeThatGeneratesGivesNoPowerRatio) {
    ModelPlan p;
    p.period = 700.0;
    p.cb_bias = 30.0;
    samples::ModelTruth truth;
    const condition::WellCondition c = assess(p, truth);
    const condition::Balance& b = c.balance;
    ASSERT_TRUE(b.up && b.down && b.change_kN);
    EXPECT_LT(b.up->mean_power_kW, 0.05 * b.down->mean_power_kW);
    EXPECT_FALSE(b.power_ratio.has_value());
    EXPECT_NE(b.power_ratio_why.find("上冲程"), std::string::npos) << b.power_ratio_why;
    EXPECT_EQ(b.verdict, Verdict::ReduceCounterbalance) << b.note;
    EXPECT_NE(b.note.find("功率比无法计算"), std::string::npos) << b.note;
}

// The verdict and the change never point different ways: balanced needs no
// change, and a change's sign is the verdict's way.
TEST(ConditionBalance, TheVerdictAndTheChangeAgree) {
    for (double bias : {-8.0, -1.0, 0.0, 1.0, 8.0}) {
        ModelPlan p;
        p.period = 760.0;
        p.cb_bias = bias;
        samples::ModelTruth truth;
        const condition::Balance b = assess(p, truth).balance;
        ASSERT_TRUE(b.change_kN.has_value());
        if (b.verdict == Verdict::Balanced) {
            EXPECT_NE(b.note.find("无需调整"), std::string::npos) << b.note;
        } else if (b.verdict == Verdict::AddCounterbalance) {
            EXPECT_GT(*b.change_kN, 0.0);
        } else if (b.verdict == Verdict::ReduceCounterbalance) {
            EXPECT_LT(*b.change_kN, 0.0);
        }
        // The advice names the figure it rests on.
        EXPECT_NE(b.note.find("据功率比"), std::string::npos) << b.note;
    }
}

// Without displacement and load there is no stroke direction.
TEST(ConditionBalance, NoCardGivesUnknown) {
    ModelPlan p;
    p.power_only = true;
    samples::ModelTruth truth;
    const condition::WellCondition c = assess(p, truth);
    EXPECT_TRUE(c.period.verified());
    EXPECT_EQ(c.balance.verdict, Verdict::Unknown);
    EXPECT_FALSE(c.balance.change_kN || c.balance.power_ratio || c.balance.up);
    EXPECT_NE(c.balance.note.find("没有示功图"), std::string::npos);
}

// A card that dips twice per stroke, recorded from its lowest point: the
// lowest sample near the first predicted bottom is the cut-off start of
// the record, and the stroke's bottom lies further in.
TEST(ConditionBalance, StrokesAreFoundWhenTheRecordStartsAtItsLowestPoint) {
    const double period = 1209.0;
    const double phase[] = {0.0, 0.24, 0.54, 0.90, 1.0}, height[] = {0.0, 4.9, 0.1, 8.5, 0.0};
    std::vector<double> pos(3000);
    for (std::size_t i = 0; i < pos.size(); ++i) {
        const double f = std::fmod(static_cast<double>(i) / period, 1.0);
        int k = 0;
        while (f > phase[k + 1]) ++k;
        pos[i] = height[k] + (height[k + 1] - height[k]) * (f - phase[k]) / (phase[k + 1] - phase[k]);
    }
    const std::vector<condition::StrokeSpan> spans = condition::split_strokes(pos, period);
    ASSERT_FALSE(spans.empty());
    for (const condition::StrokeSpan& s : spans) {
        EXPECT_NEAR(s.next_bottom - s.bottom, period, 2.0);
        EXPECT_GT(s.travel, 7.5);  // the whole rise, not the one to the first dip
    }
}

}  // namespace
}  // namespace tavo
