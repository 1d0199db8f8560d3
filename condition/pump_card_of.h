// The pump card of the test the state holds: the card of one stroke, as the
// diagnosis reads it, carried down the rod string of the well's record.
#pragma once

#include <optional>
#include <string>

#include "condition/period_check.h"
#include "downhole/pump_card.h"
#include "record/state.h"
#include "well/well_record.h"

namespace tavo::condition {

// The card over card_cycle(st, period) without the cycle's last sample
// (which closes the loop onto the first), timed with the samples it spans:
// the time base of the tester, 0.02 s times the recording factor a sample.
downhole::SurfaceStroke surface_stroke(const State& st, const PeriodCheck& period);

// Reads the state only; a test without a card gives a result that names
// the problem.
downhole::PumpCardResult pump_card_of(const State& st, const PeriodCheck& period,
                                      const well::WellRecord& well, const downhole::Settings& settings = {});

// Whether the surface-card diagnosis (its condition code) and the pump
// card's say the same; none where the two name conditions that do not
// correspond (a tubing leak, heavy oil, flowing while pumping, no card).
std::optional<bool> diagnoses_agree(const std::string& surface_condition, downhole::PumpCondition pump);

}  // namespace tavo::condition
