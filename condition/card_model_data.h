// The fitted card model as plain arrays (generated into generated/card_model_data.cpp
// by tools/fit_card_model.py): a forest of trees grown depth first, the
// nodes of tree t from kNodes[kTreeStart[t]], node ids relative to the tree.
#pragma once

#include <cstdint>

namespace tavo::condition::model_data {

// An inner node (feature >= 0) goes on to the next node when the feature,
// as a float, is not above the threshold, else to node `next`. A leaf
// (feature < 0) holds -feature class counts from kLeafPacked[next].
struct Node {
    int8_t feature;
    float threshold;
    int32_t next;
};

extern const int kClassCount;
extern const char* const kClasses[];  // labels, in the model's class order
extern const int kFeatureCount;       // model column k reads card feature k
extern const int kTreeCount;
extern const int kTreeStart[];  // kTreeCount + 1 entries
extern const Node kNodes[];
extern const uint16_t kLeafPacked[];  // class << 12 | count

// Calibration of the forest's probabilities, fitted on out-of-fold
// predictions: q_k proportional to (p_k + kCalibrationFloor) ^ (1 / T).
extern const double kCalibrationTemperature;
extern const double kCalibrationFloor;
// A diagnosis whose calibrated probability is below this needs review.
extern const double kReviewBelow;
// The cross-validated accuracy in one plain sentence, for the user.
extern const char* const kAccuracySentence;

}  // namespace tavo::condition::model_data
