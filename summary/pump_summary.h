// The pump card of a test as figures with words: the section "泵功图" of the
// panel and the report, the plot, and how it sits beside the surface-card
// diagnosis. No Qt.
#pragma once

#include <optional>
#include <string>

#include "condition/card_diagnosis.h"
#include "downhole/pump_card.h"
#include "views/pump_card_view.h"

namespace tavo::summary {

struct Section;

// `pump` is empty when the well has no record; `well` names it.
Section pump_section(const std::optional<downhole::PumpCardResult>& pump, const std::string& well,
                     const condition::CardDiagnosis& surface);

// The pump card over its surface card, with the valve events marked; empty
// when there is no pump card.
PumpCardPlot pump_card_plot(const downhole::PumpCardResult& pump);

}  // namespace tavo::summary
