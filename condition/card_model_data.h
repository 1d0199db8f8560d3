// The fitted card model as plain arrays (generated into card_model_data.cpp
// by tools/fit_card_model.py). Trees of a forest, nodes of each tree stored
// from kTreeStart[t]; node ids inside a tree are relative to it, and a
// node's children always follow it.
#pragma once

#include <cstdint>

namespace tavo::condition::model_data {

extern const int kClassCount;
extern const char* const kClasses[];  // labels, in the model's class order
extern const int kFeatureCount;       // model column k reads card feature k
extern const int kTreeCount;
extern const int kTreeStart[];    // kTreeCount + 1 entries
extern const int8_t kFeature[];   // -1 for a leaf
extern const float kThreshold[];  // go left when the feature, as a float, is not above it
extern const int16_t kLeft[], kRight[];
extern const int32_t kLeafStart[];    // per node, into kLeafPacked; one more at the end
extern const uint16_t kLeafPacked[];  // leaf class counts: class << 12 | count

}  // namespace tavo::condition::model_data
