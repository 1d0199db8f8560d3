// Every problem the core reports, in the window's words (Chinese only), as
// the core words them (common/problem.h).
#pragma once

#include <QString>

#include "common/problem.h"

namespace tavo {

// The system's reason for a failed call (an errno value), in Chinese.
QString system_reason(int error);

// The problem, with its place in the exchange text where it has one.
QString problem_text(const Problem& p);

}  // namespace tavo
