// The card diagnosis: what it reports, when there is no card, and that
// damaged or tiny cards never bring it down.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "analysis/pick_file.h"
#include "condition/card_diagnosis.h"
#include "condition/card_model.h"

namespace tavo::condition {
namespace {

// A full-pump card: 200 points, `stroke` m, loads lo .. hi kN.
void full_pump(double stroke, double lo, double hi, std::vector<double>& pos, std::vector<double>& load) {
    pos.clear();
    load.clear();
    const double corners[5][2] = {{0.0, 0.0}, {0.1, 1.0}, {1.0, 1.0}, {0.9, 0.0}, {0.0, 0.0}};
    for (int c = 0; c < 4; ++c)
        for (int s = 0; s < 50; ++s) {
            const double w = s / 50.0;
            pos.push_back(stroke * (corners[c][0] + (corners[c + 1][0] - corners[c][0]) * w));
            load.push_back(lo + (hi - lo) * (corners[c][1] + (corners[c + 1][1] - corners[c][1]) * w));
        }
}

bool no_card(const CardDiagnosis& d) {
    return d.condition == "NO_CARD" && d.name == "无示功图" && d.runner_up.empty() &&
           d.evidence.size() == 1 && d.probabilities.empty() && !d.needs_review;
}

TEST(CardDiagnosis, NoCardBelowTheStrokeAndLoadLimits) {
    std::vector<double> pos, load;
    full_pump(0.3, 20.0, 40.0, pos, load);
    EXPECT_TRUE(no_card(diagnose_card(pos, load)));
    full_pump(0.31, 20.0, 40.0, pos, load);
    EXPECT_FALSE(no_card(diagnose_card(pos, load)));
    full_pump(3.0, 1.0, 3.0, pos, load);
    const CardDiagnosis light = diagnose_card(pos, load);
    EXPECT_TRUE(no_card(light));
    EXPECT_EQ(light.evidence[0], "最大载荷 3.00 kN，不超过 3 kN");
    // Measured as the card results measure: a negative minimum load is
    // raised to 0 first, a positive minimum position lowered to 0.
    full_pump(3.0, -2.0, 2.5, pos, load);
    EXPECT_FALSE(no_card(diagnose_card(pos, load)));
    full_pump(0.25, 20.0, 40.0, pos, load);
    for (double& x : pos) x += 0.2;
    EXPECT_TRUE(no_card(diagnose_card(pos, load)));
}

TEST(CardDiagnosis, ReportsALabelItsNameAConfidenceARunnerUpAndEvidence) {
    const std::set<std::string> labels = {
        "REGULAR_WORK",         "LIQUID_NOT_ENOUGH",    "GAS_EFFECTIVE",   "TRAVELLING_VALVE_LEAKAGE",
        "STATIC_VALVE_LEAKAGE", "DOUBLE_VALVE_LEAKAGE", "OIL_ROD_LEAKAGE", "ROD_BROKEN",
        "PUMP_UP_BANG",         "PUMP_DOWN_BANG",       "OIL_TO_DENSE",    "WORK_WITH_FLOAT"};
    ASSERT_EQ(card_model_class_count(), 12);
    for (int k = 0; k < 12; ++k) EXPECT_TRUE(labels.count(card_model_class(k))) << card_model_class(k);
    EXPECT_EQ(condition_name("PUMP_UP_BANG"), "上碰泵");
    EXPECT_EQ(condition_name("WORK_WITH_FLOAT"), "连抽带喷");

    std::vector<double> pos, load;
    full_pump(3.0, 20.0, 40.0, pos, load);
    const CardDiagnosis d = diagnose_card(pos, load);
    EXPECT_TRUE(labels.count(d.condition));
    EXPECT_EQ(d.name, condition_name(d.condition));
    EXPECT_TRUE(labels.count(d.runner_up));
    EXPECT_NE(d.runner_up, d.condition);
    EXPECT_GT(d.confidence, 0.0);
    EXPECT_LE(d.confidence, 1.0);
    EXPECT_GE(d.evidence.size(), 1u);
    EXPECT_LE(d.evidence.size(), 3u);
    ASSERT_EQ(d.pos.size(), pos.size());
    ASSERT_GE(d.marks.size(), 4u);
    for (const CardMark& m : d.marks) {
        ASSERT_GE(m.index, 0);
        ASSERT_LT(static_cast<std::size_t>(m.index), d.pos.size());
        EXPECT_EQ(m.pos, d.pos[static_cast<std::size_t>(m.index)]);
        EXPECT_EQ(m.load, d.load[static_cast<std::size_t>(m.index)]);
    }
}

// A card of corners (fractions of the stroke and the range) at 3 m, 20..40 kN.
void drawn(const std::vector<std::pair<double, double>>& corners, std::vector<double>& pos,
           std::vector<double>& load) {
    pos.clear();
    load.clear();
    for (std::size_t c = 0; c + 1 < corners.size(); ++c)
        for (int s = 0; s < 40; ++s) {
            const double w = s / 40.0;
            pos.push_back(3.0 * (corners[c].first + (corners[c + 1].first - corners[c].first) * w));
            load.push_back(20.0 +
                           20.0 * (corners[c].second + (corners[c + 1].second - corners[c].second) * w));
        }
}

TEST(CardDiagnosis, ProbabilitiesAreCalibratedAndConsistentWithTheVerdict) {
    std::vector<double> pos, load;
    const std::vector<std::vector<std::pair<double, double>>> cards = {
        {{0.0, 0.0}, {0.1, 1.0}, {1.0, 1.0}, {0.9, 0.0}, {0.0, 0.0}},                // full pump
        {{0.0, 0.0}, {0.1, 1.0}, {1.0, 1.0}, {0.45, 0.95}, {0.4, 0.0}, {0.0, 0.0}},  // fluid pound
        {{0.0, 0.0}, {0.4, 0.8}, {0.9, 0.7}, {1.0, 0.2}, {0.0, 0.0}},                // leaking valves
        {{0.0, 0.0}, {0.1, 0.1}, {1.0, 0.1}, {0.9, 0.0}, {0.0, 0.0}},                // thin card
    };
    for (const auto& c : cards) {
        drawn(c, pos, load);
        const CardDiagnosis d = diagnose_card(pos, load);
        ASSERT_EQ(d.probabilities.size(), 12u);
        double sum = 0.0, best = 0.0, second = 0.0;
        for (const auto& [label, p] : d.probabilities) {
            EXPECT_GE(p, 0.0);
            sum += p;
            if (p > best) {
                second = best;
                best = p;
            } else {
                second = std::max(second, p);
            }
            if (label == d.condition) {
                EXPECT_EQ(p, d.confidence);
            }
            if (label == d.runner_up) {
                EXPECT_EQ(p, d.runner_up_confidence);
            }
        }
        EXPECT_NEAR(sum, 1.0, 1e-12);
        EXPECT_EQ(d.confidence, best);
        EXPECT_EQ(d.runner_up_confidence, second);
        EXPECT_EQ(d.needs_review, d.confidence < card_model_review_threshold());
        // The evidence is read off the card: no flat line's "slope -0.00",
        // no spike or dip that is not there.
        std::vector<std::string> all = d.evidence;
        all.insert(all.end(), d.runner_up_evidence.begin(), d.runner_up_evidence.end());
        EXPECT_FALSE(d.runner_up_evidence.empty());
        for (const std::string& e : all) {
            EXPECT_EQ(e.find("0.00"), std::string::npos) << e;
            EXPECT_EQ(e.find("没有"), std::string::npos) << e;
            EXPECT_EQ(e.find('?'), std::string::npos) << e;
        }
    }
    // The calibration keeps the order of the forest's probabilities and a
    // sum of 1, and a degenerate input comes back as it was.
    const std::vector<double> raw = {0.5, 0.3, 0.2, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    const std::vector<double> q = card_model_calibrated(raw);
    EXPECT_GT(q[0], q[1]);
    EXPECT_GT(q[1], q[2]);
    EXPECT_GT(q[2], q[3]);
    EXPECT_NEAR(std::accumulate(q.begin(), q.end(), 0.0), 1.0, 1e-12);
    EXPECT_FALSE(card_model_needs_review(1.0));
    EXPECT_TRUE(card_model_needs_review(0.0));
    EXPECT_TRUE(card_model_needs_review(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_NE(card_model_accuracy_sentence().find("交叉验证"), std::string::npos);
}

TEST(CardDiagnosis, DamagedOrTinyCardsAreNoCard) {
    const double nan = std::numeric_limits<double>::quiet_NaN(),
                 inf = std::numeric_limits<double>::infinity();
    std::vector<double> pos, load;
    full_pump(3.0, 20.0, 40.0, pos, load);
    EXPECT_TRUE(no_card(diagnose_card({}, {})));
    EXPECT_TRUE(no_card(diagnose_card({0.0, 3.0, 0.0}, {20.0, 40.0, 20.0})));
    for (double bad : {nan, inf}) {
        std::vector<double> p = pos;
        p[17] = bad;
        EXPECT_TRUE(no_card(diagnose_card(p, load)));
        std::vector<double> l = load;
        l[99] = bad;
        EXPECT_TRUE(no_card(diagnose_card(pos, l)));
    }
    // Lengths that differ: the shorter one counts.
    load.resize(120);
    EXPECT_EQ(diagnose_card(pos, load).pos.size(), 120u);
}

TEST(CardDiagnosis, ReadsOnlyTheFilesOwnSamplesOfTheCycle) {
    State st;
    std::vector<double> pos, load;
    full_pump(3.0, 20.0, 40.0, pos, load);
    for (std::size_t i = 0; i < kArrayLen; ++i) {  // beyond the file: another well's card
        st.Pos_Dat[i] = 9.0f;
        st.Force_Dat[i] = 99.0f;
    }
    for (std::size_t i = 0; i < pos.size(); ++i) {
        st.Pos_Dat[i] = static_cast<float>(pos[i]);
        st.Force_Dat[i] = static_cast<float>(load[i]);
    }
    st.last_load.kind = Problem::Kind::ShortSamples;
    st.last_load.records_read = 200;
    for (int16_t cycle : {int16_t{3000}, int16_t{3001}, int16_t{32767}}) {
        st.Circle_Num = cycle;
        EXPECT_EQ(diagnose(st).pos.size(), 200u);
    }
    for (int16_t cycle : {int16_t{0}, int16_t{-5}}) {
        st.Circle_Num = cycle;
        EXPECT_TRUE(no_card(diagnose(st)));
    }
    st.Circle_Num = 150;
    EXPECT_EQ(diagnose(st).pos.size(), 150u);
    EXPECT_EQ(diagnose(st, 180).pos.size(), 180u);
}

TEST(CardDiagnosis, UsesTheVerifiedCycleOnlyWhereTheDetectedOneIsFlagged) {
    State st;
    st.Circle_Num = 540;
    PeriodCheck p;
    p.detected = 540;
    EXPECT_EQ(card_cycle(st, p), 540);  // nothing verified
    p.period = 599.0;
    EXPECT_EQ(card_cycle(st, p), 600);  // flagged: round(period) + 1
    p.period = 538.6;
    EXPECT_EQ(card_cycle(st, p), 540);  // agrees
}

TEST(CardDiagnosis, TesterFilesAsTheProgramHoldsThem) {
    const std::string dir = std::string(TAVO_SOURCE_DIR) + "/samples/";
    State st;
    pick_file(st, dir + "SYNPOUND.O00");
    const CardDiagnosis pound = diagnose(st);
    EXPECT_NE(pound.condition, "NO_CARD");
    EXPECT_EQ(pound.pos.size(), static_cast<std::size_t>(st.Circle_Num));
    pick_file(st, dir + "DX-08.O00");  // no displacement and load recorded
    EXPECT_TRUE(no_card(diagnose(st)));
}

}  // namespace
}  // namespace tavo::condition
