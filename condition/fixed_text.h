// Numbers with a fixed number of decimals for the notes, independent of the
// process locale.
#pragma once

#include <string>

namespace tavo::condition {

// "937.4" for (937.43, 1); "-0" never appears.
std::string fixed_text(double v, int decimals);

}  // namespace tavo::condition
