// How many samples of the arrays belong to the file last read.
#pragma once

#include "record/state.h"

namespace tavo::condition {

// The samples the file itself supplied: at most its Point_Num, at most the
// records actually read (a cut file repeats its last record), at most 3000.
// Indices at or beyond this may still hold the previous file's data.
int own_sample_count(const State& st);

// Seconds per sample: Rec_Speed x 0.02 s (Rec_Speed below 1 counts as 1).
double sample_seconds(const State& st);

}  // namespace tavo::condition
