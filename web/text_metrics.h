// Text measured by the page's browser, so that the views are laid out for
// the fonts the page draws with (the legacy Song face where the computer has
// it), as the window lays them out for its own.
#pragma once

#include <memory>

#include "views/surface.h"

namespace tavo::web {

// Falls back to the fixed metrics where the module runs without a canvas
// (under node).
std::shared_ptr<TextMetrics> page_text_metrics();

}  // namespace tavo::web
