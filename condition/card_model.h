// Evaluates the fitted card model (condition/generated/card_model_data.cpp) in plain
// C++: the same probabilities as the fitting library gives, bit for bit.
#pragma once

#include <string>
#include <vector>

#include "condition/card_features.h"

namespace tavo::condition {

int card_model_class_count();
std::string card_model_class(int k);  // label of class k, "" when out of range

// Probability of each class (model order) for a card's features.
std::vector<double> card_model_proba(const CardFeatures& f);
std::vector<double> card_model_proba(const std::vector<double>& columns);

// Calibrated probabilities (summing to 1) from the forest's.
std::vector<double> card_model_calibrated(const std::vector<double>& raw);

// True when a diagnosis stated with calibrated probability `confidence` is
// not sure enough to name one condition.
bool card_model_needs_review(double confidence);
double card_model_review_threshold();

// The measured accuracy of the diagnosis, one sentence in Chinese.
std::string card_model_accuracy_sentence();

// How much each model column moved the probability of class `k` on the way
// from the root of every tree to its leaf, averaged over the trees; the
// columns with the largest shares decided.
std::vector<double> card_model_contributions(const CardFeatures& f, int k);

}  // namespace tavo::condition
