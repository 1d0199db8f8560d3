// The working memory of one analysis: owned by whoever analyses (the
// window, each worker of a batch, a test), handed to every call that needs
// it, and reused from file to file. Every call starts its blocks from
// zeros, so no result depends on the file analysed before in the same
// workspace.
#pragma once

#include "analysis/detect_cycle.h"
#include "record/tester_file.h"

namespace tavo {

struct Workspace {
    ReadWorkspace read;
    CycleWorkspace cycle;
};

}  // namespace tavo
