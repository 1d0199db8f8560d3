// Text metrics that do not depend on any font: every character below U+0080
// is half the font size wide, every other character the full size, and a
// line is 1.25 times the size high. Used where no real font is at hand.
#pragma once

#include <string>

#include "views/surface.h"

namespace tavo {

class FixedMetrics : public TextMetrics {
public:
    double text_width_pt(const std::string& text, const std::string& face, double size_pt) const override;
    double line_height_pt(const std::string& face, double size_pt) const override;
};

}  // namespace tavo
