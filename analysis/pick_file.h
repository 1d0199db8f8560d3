// What picking a file in the file list does to the analysis state, shared by
// the window, tavo-cli, the benchmarks, the fuzz bodies and the tests.
#pragma once

#include <string>

#include "analysis/workspace.h"
#include "common/problem.h"
#include "record/state.h"

namespace tavo {

// The cycle tolerance of a picked file, then the whole pipeline on `path`.
// A file that cannot be read as a tester file (missing, no ordinary file,
// shorter than its header, a header without a whole sample record) is not
// analysed: nothing of the state changes
// but `last_load`, and the problem says why. A file whose samples end
// early is analysed, with a warning (Problem::Kind::ShortSamples).
Problem pick_file(State& st, Workspace& work, const std::string& path);
// The same in a workspace of its own for this one call.
Problem pick_file(State& st, const std::string& path);

// What a stroke length typed into the cycle box does before the chart is
// drawn again: both cycle lengths take it, marked as typed (a Fault when it
// does not fit 16 bits).
void type_cycle(State& st, float samples);

}  // namespace tavo
