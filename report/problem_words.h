// Every problem the core reports in the window's words (Chinese), for the
// window and the web page alike.
#pragma once

#include <string>

#include "common/problem.h"

namespace tavo::report {

// The system's reason for a failed call (an errno value).
std::string system_reason_text(int error);

// The problem, with its place in the exchange text where it has one.
std::string problem_words(const Problem& p);

}  // namespace tavo::report
