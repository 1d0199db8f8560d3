#include "downhole/pump_diagnosis.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "downhole/card_reading.h"

namespace tavo::downhole {

namespace {

// The rules' limits, shares of the fluid load or of the gross stroke.
constexpr double kPartedShare = 0.15;  // fluid load below this of a full column's
constexpr double kFullFillage = 90.0;  // % at or above: the barrel fills
constexpr double kPoundSpan = 0.12;    // a sharper drop than this is fluid pound
constexpr double kShapedSpan = 0.05;   // a shorter drop is too short to have a shape
constexpr double kTrailShape = 0.65;   // lower half of the drop longer than this: the load trails
constexpr double kLeakShare = 0.15;    // plateau lost before the end of a half stroke
constexpr double kLeakTakeUp = 0.05;   // plateau lost with a slow take-up: the valve leaks
constexpr double kRiseShare = 0.25;    // down-stroke load risen before the bottom
constexpr double kHitShare = 0.1;      // excursion past a plateau at a dead centre
constexpr double kTubingSpan = 0.15;   // a slower take-up than this: the tubing stretches

struct Card {
    const std::vector<double>& pos;
    const std::vector<double>& load;
    const CardReading& r;
    std::vector<std::size_t> up, down;
    double bottom;
    double share(std::size_t i) const { return (pos[i] - bottom) / r.gross_stroke_m; }
    double band(const std::vector<std::size_t>& half, Band b) const {
        return band_load(pos, load, half, bottom, r.gross_stroke_m, b);
    }
    // Share of the stroke where a half stroke first passes a load level,
    // or -1 when it never does.
    double crossing(const std::vector<std::size_t>& half, double level_kN, bool falling) const {
        for (std::size_t i : half)
            if (falling ? load[i] <= level_kN : load[i] >= level_kN) return share(i);
        return -1.0;
    }
    // Travel (share of the stroke) between the first samples of a half
    // stroke that pass two load levels.
    double span(const std::vector<std::size_t>& half, double from_kN, double to_kN) const {
        const bool falling = to_kN < from_kN;
        double a = -1.0, b = -1.0;
        for (std::size_t i : half) {
            const double l = load[i];
            if (a < 0.0 && (falling ? l <= from_kN : l >= from_kN)) a = share(i);
            if (falling ? l <= to_kN : l >= to_kN) {
                b = share(i);
                break;
            }
        }
        if (a < 0.0 || b < 0.0) return 1.0;
        return std::fabs(b - a);
    }
};

}  // namespace

PumpDiagnosis diagnose_pump_card(const std::vector<double>& pos, const std::vector<double>& load,
                                 const CardReading& r, const DiagnosisInputs& in) {
    PumpDiagnosis d;
    if (pos.size() < 8 || !(r.gross_stroke_m > 0.0)) return d;
    const std::size_t n = pos.size();
    Card c{pos, load, r, half_stroke(r.bottom, r.top, n), half_stroke(r.top, r.bottom, n), pos[r.bottom]};
    const double fo = r.fluid_load_kN;
    auto add = [&](PumpCondition cond, ReasonCode code, double value, double limit) {
        d.reasons.push_back({cond, code, value, limit});
    };

    if (in.full_column_load_kN > 0.0 && fo < kPartedShare * in.full_column_load_kN) {
        add(PumpCondition::parted_rods, ReasonCode::fluid_load_share_pct, 100.0 * fo / in.full_column_load_kN,
            100.0 * kPartedShare);
    }
    if (fo > 0.0) {
        // The plunger tagging: the load pushed past its plateau at a dead
        // centre, below the down-stroke's at the bottom, above the
        // up-stroke's at the top.
        double bottom_min = r.downstroke_load_kN;
        for (std::size_t i : c.down)
            if (c.share(i) < 0.1) bottom_min = std::min(bottom_min, load[i]);
        const double dip = (r.downstroke_load_kN - bottom_min) / fo;
        if (dip > kHitShare)
            add(PumpCondition::pump_hitting_down, ReasonCode::bottom_dip_pct, 100 * dip, 100 * kHitShare);
        double top_max = r.upstroke_load_kN;
        for (std::size_t i : c.up)
            if (c.share(i) > 0.85) top_max = std::max(top_max, load[i]);
        const double spike = (top_max - r.upstroke_load_kN) / fo;
        if (spike > kHitShare)
            add(PumpCondition::pump_hitting_up, ReasonCode::top_spike_pct, 100 * spike, 100 * kHitShare);

        const double rise_span =
            c.span(c.up, r.downstroke_load_kN + 0.1 * fo, r.downstroke_load_kN + 0.9 * fo);
        if (r.fillage_pct < kFullFillage) {
            // How the load comes off over the empty part of the barrel,
            // measured from the load still held half way through it: a
            // plunger meeting liquid lets it go at once; gas compressed
            // lets it go over a long travel; a barrel emptying through a
            // leaking standing valve lets most go at once and the rest
            // trail to the bottom.
            const double mid = 0.5 * (1.0 + r.fillage_pct / 100.0);
            const double held = c.band(c.down, {mid - 0.05, mid + 0.05}) - r.downstroke_load_kN;
            const double x80 = c.crossing(c.down, r.downstroke_load_kN + 0.8 * held, true),
                         x50 = c.crossing(c.down, r.downstroke_load_kN + 0.5 * held, true),
                         x20 = c.crossing(c.down, r.downstroke_load_kN + 0.2 * held, true);
            const bool measured = held > 0.2 * fo && x20 >= 0.0 && x80 > x20;
            const double drop_span = measured ? x80 - x20 : 1.0;
            const double trail = measured ? (x50 - x20) / drop_span : 0.0;
            if (measured && drop_span > kShapedSpan && trail > kTrailShape)
                add(PumpCondition::standing_valve_leak, ReasonCode::drop_trail_pct, 100 * trail,
                    100 * kTrailShape);
            else if (drop_span < kPoundSpan)
                add(PumpCondition::fluid_pound, ReasonCode::drop_span_pct, 100 * drop_span, 100 * kPoundSpan);
            else
                add(PumpCondition::gas_interference, ReasonCode::drop_span_pct, 100 * drop_span,
                    100 * kPoundSpan);
        } else {
            // Leaks round the corners of a filled barrel's card: a leaking
            // travelling valve loses load before the top, the more so the
            // later the load was taken up (the plunger slips through the
            // liquid all the way).
            const double sag = (c.band(c.up, {0.4, 0.6}) - c.band(c.up, {0.8, 0.95})) / fo;
            if (sag > kLeakShare)
                add(PumpCondition::travelling_valve_leak, ReasonCode::upstroke_sag_pct, 100 * sag,
                    100 * kLeakShare);
            else if (in.tubing_anchored && sag > kLeakTakeUp && rise_span > kTubingSpan)
                add(PumpCondition::travelling_valve_leak, ReasonCode::rise_span_pct, 100 * rise_span,
                    100 * kTubingSpan);
            const double rise = (c.band(c.down, {0.02, 0.12}) - c.band(c.down, {0.3, 0.6})) / fo;
            if (rise > kRiseShare)
                add(PumpCondition::standing_valve_leak, ReasonCode::downstroke_rise_pct, 100 * rise,
                    100 * kRiseShare);
        }
        if (!in.tubing_anchored && rise_span > kTubingSpan)
            add(PumpCondition::unanchored_tubing, ReasonCode::rise_span_pct, 100 * rise_span,
                100 * kTubingSpan);
    }
    if (d.reasons.empty()) {
        d.condition = PumpCondition::full_pump;
        add(PumpCondition::full_pump, ReasonCode::fillage_pct, r.fillage_pct, kFullFillage);
        return d;
    }
    // The most serious first: a broken string before a damaged pump before
    // a pump that does not fill.
    static constexpr std::array<PumpCondition, 8> order{
        PumpCondition::parted_rods,         PumpCondition::pump_hitting_down,
        PumpCondition::pump_hitting_up,     PumpCondition::travelling_valve_leak,
        PumpCondition::standing_valve_leak, PumpCondition::fluid_pound,
        PumpCondition::gas_interference,    PumpCondition::unanchored_tubing};
    for (PumpCondition cond : order) {
        const bool found = std::any_of(d.reasons.begin(), d.reasons.end(),
                                       [&](const Reason& x) { return x.condition == cond; });
        if (found) {
            d.condition = cond;
            break;
        }
    }
    return d;
}

}  // namespace tavo::downhole
