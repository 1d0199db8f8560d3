// Features of one stroke of a dynamometer card: its shape, independent of
// its size (positions and loads as fractions of the stroke and of the load
// range), and its size itself (stroke and loads in the card's units). They
// feed the card classifier and its evidence.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace tavo::condition {

// The named features first (the evidence speaks of them), then the sampled
// shape. Every value is a plain number; fractions run 0..1.
enum CardFeature : int {
    kUnloadPos,    // position where the load drops on the down-stroke (transfer point)
    kPickupPos,    // position where the load is taken on the up-stroke
    kUnloadWidth,  // stroke travelled while the load drops (10 % .. 90 %)
    kPickupWidth,  // stroke travelled while the load is taken
    kUpLevel,      // up-stroke load line, mid-stroke mean
    kDownLevel,    // down-stroke load line, mid-stroke mean
    kUpSlope,      // up-stroke load line slope (load range per stroke)
    kDownSlope,    // down-stroke load line slope
    kAreaRatio,    // signed area in time order / bounding rectangle
    kMinMaxRatio,  // minimum load / maximum load (absolute loads)
    kTopSpike,     // highest load in the top 10 % of the stroke above the up line
    kBottomDip,    // lowest load in the bottom 10 % below the down line
    kTopDrop,      // up line minus the lowest load in the top 10 % of the up-stroke
    kBottomRise,   // highest load in the bottom 10 % of the down-stroke above the down line
    kVibration,    // RMS of harmonics 6..30 of the load
    kUpTime,       // share of the period spent rising
    kPickupSpeed,  // steepest load pick-up on the up-stroke (load range per stroke)
    kUnloadSpeed,  // steepest load release on the down-stroke
    kPickupTime,   // share of the up-stroke's time until the load is taken
    kUnloadTime,   // share of the down-stroke's time until the load is dropped
    kPreUnload,    // down-stroke load halfway between the top and the transfer point, 0 at the
                   // down line, 1 at the up line (a full pump or fluid pound holds it, gas loses it)
    kPrePickup,    // up-stroke load halfway between the bottom and the pick-up, on the same scale
    kLineRatio,    // down line / up line, both in absolute load (the fluid load against the rods)
    kUpPeakPos,    // position of the highest load of the up line (a leak loses it late)
    kStroke,       // stroke, in the units of the positions (m)
    kMaxLoad,      // largest load, in the units of the loads (kN)
    kMinLoad,      // smallest load
    kLoadRange,    // largest minus smallest load
    kNamedCount,
    kUpCurve = kNamedCount,       // 10 loads of the up-stroke at positions 0.05 .. 0.95
    kDownCurve = kUpCurve + 10,   // 10 loads of the down-stroke at the same positions
    kLoadTime = kDownCurve + 10,  // 32 loads evenly spaced in time from the bottom
    kPosTime = kLoadTime + 32,    // 16 positions evenly spaced in time from the bottom
    kHarmonics = kPosTime + 16,   // load harmonics 1..8 against the position's phase (re, im)
    kCardFeatureCount = kHarmonics + 16
};

constexpr int kCurvePoints = 10;

// Where on the card the named features were read: indices into the card
// handed in (time order), -1 when the event was not found.
struct CardMarks {
    int bottom = -1, top = -1;  // lowest and highest position
    int pickup = -1;            // load taken (up-stroke crosses the mid load)
    int unload = -1;            // load dropped (down-stroke crosses the mid load)
    int top_spike = -1;         // highest load near the top
    int bottom_dip = -1;        // lowest load near the bottom
};

struct CardFeatures {
    std::array<double, kCardFeatureCount> value{};
    CardMarks marks;
};

// Features of one stroke given as positions and loads in time order (any
// start phase, at least 8 points, finite values; the size features keep the
// units handed in, m and kN for the model). A card without stroke or load
// range yields zeros for what it cannot show.
CardFeatures card_features(const std::vector<double>& pos, const std::vector<double>& load);

// The cosines (re) and sines (im) of the angles -2π·m/n, m = 0 .. n-1, of
// the features' discrete Fourier transform: harmonic k at sample i uses
// [k·i mod n], the angle -2π·k·i/n reduced into one turn before it is
// rounded, so that one table of n serves every harmonic.
void dft_unit_vectors(std::size_t n, double* re, double* im);

// Short ASCII name of a feature, for tables and the model's source.
std::string card_feature_name(int feature);

}  // namespace tavo::condition
