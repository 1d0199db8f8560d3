// Diagnosis of the pump's working condition from the dynamometer card: the
// condition, how sure, the runner-up, and the measured features that decided
// as texts a person can check against the card.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "condition/card_stroke.h"
#include "condition/period_check.h"
#include "record/state.h"

namespace tavo::condition {

// A point of the card the diagnosis read (the panel marks them).
struct CardMark {
    std::string what;   // e.g. "卸载点"
    int index = -1;     // into CardDiagnosis::pos / load
    float pos = 0.0f;   // m
    float load = 0.0f;  // kN
};

struct CardDiagnosis {
    std::string condition;       // label as the field data spell it, or "NO_CARD"
    std::string name;            // Chinese name shown to the user
    double confidence = 0.0;     // calibrated probability of `condition`
    std::string runner_up;       // label, "" when there is none
    std::string runner_up_name;  // its Chinese name
    double runner_up_confidence = 0.0;
    // The model is not sure enough: the front end names the two likeliest
    // conditions instead of one.
    bool needs_review = false;
    std::vector<std::string> evidence;            // what speaks for `condition`
    std::vector<std::string> runner_up_evidence;  // what speaks for `runner_up`
    // Calibrated probability of every condition the model knows (model
    // order, summing to 1); empty for NO_CARD.
    std::vector<std::pair<std::string, double>> probabilities;
    std::vector<float> pos, load;  // the stroke diagnosed, m and kN, time order
    std::vector<CardMark> marks;
};

// The Chinese name of a label ("" for an unknown one).
std::string condition_name(const std::string& label);

// Diagnoses one stroke given in time order.
CardDiagnosis diagnose_card(const CardStroke& stroke);
CardDiagnosis diagnose_card(const std::vector<double>& pos, const std::vector<double>& load);

// Diagnoses the card the analysis state holds after the pipeline, over the
// first `cycle` samples (0 or less: Circle_Num). Writes nothing.
CardDiagnosis diagnose(const State& st, int cycle = 0);

// The cycle the card is read over: Circle_Num, or the verified cycle where
// the period check finds the detected one wrong.
int card_cycle(const State& st, const PeriodCheck& period);

// Diagnoses the card over card_cycle(st, period).
CardDiagnosis diagnose(const State& st, const PeriodCheck& period);

}  // namespace tavo::condition
