// Card shape features on crafted cards whose answers are known.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

#include "condition/card_features.h"

namespace tavo::condition {
namespace {

// A card drawn through corner points, `per_unit` samples per unit of path
// travelled (position and load both count), in time order and closed.
struct Drawn {
    std::vector<double> pos, load;
};

Drawn draw(const std::vector<std::pair<double, double>>& corners, int per_unit = 400) {
    Drawn d;
    for (std::size_t c = 0; c < corners.size(); ++c) {
        const auto [x0, y0] = corners[c];
        const auto [x1, y1] = corners[(c + 1) % corners.size()];
        const int steps =
            std::max(1, static_cast<int>(std::lround((std::abs(x1 - x0) + std::abs(y1 - y0)) * per_unit)));
        for (int s = 0; s < steps; ++s) {
            const double w = static_cast<double>(s) / steps;
            d.pos.push_back(x0 + (x1 - x0) * w);
            d.load.push_back(y0 + (y1 - y0) * w);
        }
    }
    return d;
}

// In metres and kN: a 3 m stroke, loads 20 .. 40 kN.
Drawn scaled(Drawn d) {
    for (double& x : d.pos) x *= 3.0;
    for (double& y : d.load) y = 20.0 + 20.0 * y;
    return d;
}

Drawn rotated(Drawn d, std::size_t by) {
    std::rotate(d.pos.begin(), d.pos.begin() + static_cast<long>(by), d.pos.end());
    std::rotate(d.load.begin(), d.load.begin() + static_cast<long>(by), d.load.end());
    return d;
}

// Full pump: the load is taken over the first 10 % of the up-stroke and
// dropped over the first 10 % of the down-stroke.
const std::vector<std::pair<double, double>> kParallelogram = {
    {0.0, 0.0}, {0.1, 1.0}, {1.0, 1.0}, {0.9, 0.0}};

TEST(CardFeatures, IdealParallelogramWhateverTheStartAndSize) {
    const Drawn card = scaled(draw(kParallelogram));
    for (std::size_t start : {std::size_t{0}, card.pos.size() / 3}) {
        const CardFeatures f = card_features(rotated(card, start).pos, rotated(card, start).load);
        const auto& v = f.value;
        EXPECT_NEAR(v[kAreaRatio], 0.9, 1e-9);
        EXPECT_NEAR(v[kPickupPos], 0.05, 0.003);
        EXPECT_NEAR(v[kUnloadPos], 0.95, 0.003);
        EXPECT_NEAR(v[kPickupWidth], 0.08, 0.005);
        EXPECT_NEAR(v[kUnloadWidth], 0.08, 0.005);
        EXPECT_NEAR(v[kUpLevel], 1.0, 1e-9);
        EXPECT_NEAR(v[kDownLevel], 0.0, 1e-9);
        EXPECT_NEAR(v[kUpSlope], 0.0, 1e-9);
        EXPECT_NEAR(v[kDownSlope], 0.0, 1e-9);
        EXPECT_NEAR(v[kMinMaxRatio], 0.5, 1e-12);
        // The size features keep the card's units.
        EXPECT_NEAR(v[kStroke], 3.0, 1e-12);
        EXPECT_NEAR(v[kMaxLoad], 40.0, 1e-12);
        EXPECT_NEAR(v[kMinLoad], 20.0, 1e-12);
        EXPECT_NEAR(v[kLoadRange], 20.0, 1e-12);
        EXPECT_NEAR(v[kTopSpike], 0.0, 1e-9);
        EXPECT_NEAR(v[kBottomDip], 0.0, 1e-9);
        // The marks sit where the events are.
        const std::vector<double>& pos = rotated(card, start).pos;
        EXPECT_NEAR(pos[static_cast<std::size_t>(f.marks.unload)] / 3.0, 0.95, 0.005);
        EXPECT_NEAR(pos[static_cast<std::size_t>(f.marks.top)] / 3.0, 1.0, 1e-12);
    }
}

// The harmonics of one card are the same whatever cards of other lengths
// came before it, more of them than the lengths kept, and whichever thread
// computed the unit vectors.
TEST(CardFeatures, SameFeaturesAfterCardsOfOtherLengths) {
    const Drawn card = scaled(draw(kParallelogram));
    const auto first = card_features(card.pos, card.load).value;
    std::vector<Drawn> others;
    for (int per_unit = 20; per_unit <= 640; per_unit += 20)
        others.push_back(scaled(draw(kParallelogram, per_unit)));
    std::thread other_thread([&] {
        for (const Drawn& d : others) (void)card_features(d.pos, d.load);
    });
    for (auto it = others.rbegin(); it != others.rend(); ++it) (void)card_features(it->pos, it->load);
    other_thread.join();
    const auto again = card_features(card.pos, card.load).value;
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(first[i], again[i]) << card_feature_name(static_cast<int>(i));
}

// One table of a turn serves every harmonic: the value at k·i mod n must
// be the cosine and sine of -2π·k·i/n, whichever harmonic reads it.
TEST(CardFeatures, UnitVectorsServeEveryHarmonic) {
    for (std::size_t n : {8u, 9u, 301u, 1000u, 2401u, 3001u}) {
        std::vector<double> re(n), im(n);
        dft_unit_vectors(n, re.data(), im.data());
        double worst = 0.0;
        for (std::size_t k = 1; k <= 30; ++k)
            for (std::size_t i = 0; i < n; ++i) {
                const long double a = -2.0L * std::numbers::pi_v<long double> *
                                      static_cast<long double>(k * i) / static_cast<long double>(n);
                const std::size_t m = k * i % n;
                worst = std::max({worst, static_cast<double>(std::abs(re[m] - std::cos(a))),
                                  static_cast<double>(std::abs(im[m] - std::sin(a)))});
            }
        // The angle is rounded three times inside one turn (2π, its
        // product with m and the quotient by n), half a unit of 8.9e-16
        // each at most.
        EXPECT_LT(worst, 2e-15) << "n = " << n;
    }
}

TEST(CardFeatures, LoadDropAfterSixtyPercentOfTheDownStroke) {
    // Fluid pound: the plunger meets the fluid at 40 % of the stroke.
    const Drawn card = scaled(draw({{0.0, 0.0}, {0.05, 1.0}, {1.0, 1.0}, {0.4, 1.0}, {0.38, 0.0}}));
    const auto& v = card_features(card.pos, card.load).value;
    EXPECT_NEAR(v[kUnloadPos], 0.39, 0.003);
    EXPECT_LT(v[kUnloadWidth], 0.03);
    // Only the filled part encloses area: top 0.35, bottom 0.38, height 1.
    EXPECT_NEAR(v[kAreaRatio], 0.365, 1e-9);
}

TEST(CardFeatures, HowFastAndWhenTheLoadIsTakenAndDropped) {
    // The full pump takes and drops the load over 10 % of the stroke.
    const Drawn full = scaled(draw(kParallelogram));
    const auto& f = card_features(full.pos, full.load).value;
    EXPECT_NEAR(f[kPickupSpeed], 10.0, 0.3);
    EXPECT_NEAR(f[kUnloadSpeed], 10.0, 0.3);
    EXPECT_NEAR(f[kPreUnload], 0.75, 0.02);  // halfway between the top and the transfer point
    EXPECT_NEAR(f[kPrePickup], 0.25, 0.02);
    EXPECT_NEAR(f[kLineRatio], 0.5, 1e-9);  // 20 kN against 40 kN
    // Equal samples per path: the mid load is reached 0.55 of 2.0 along the up-stroke.
    EXPECT_NEAR(f[kPickupTime], 0.55 / 2.0, 0.01);
    EXPECT_NEAR(f[kUnloadTime], 0.55 / 2.0, 0.01);

    // Fluid pound holds the load until the plunger meets the liquid, then
    // drops it at once; gas lets it go along the way.
    const Drawn pound = scaled(draw({{0.0, 0.0}, {0.05, 1.0}, {1.0, 1.0}, {0.4, 1.0}, {0.38, 0.0}}));
    const Drawn gas = scaled(draw({{0.0, 0.0}, {0.05, 1.0}, {1.0, 1.0}, {0.4, 0.2}, {0.3, 0.0}}));
    const auto& p = card_features(pound.pos, pound.load).value;
    const auto& g = card_features(gas.pos, gas.load).value;
    EXPECT_NEAR(p[kPreUnload], 1.0, 1e-9);
    EXPECT_NEAR(g[kPreUnload], 0.75, 0.02);
    EXPECT_GT(p[kUnloadSpeed], 20.0);  // the whole drop within about 2 % of the stroke
    EXPECT_NEAR(g[kUnloadSpeed], 2.0, 0.1);
    EXPECT_GT(p[kUnloadTime], g[kUnloadTime]);
}

TEST(CardFeatures, FlatCardOfAPartedRod) {
    // The rod's buoyant weight only: a thin loop between 9.7 and 10 kN.
    Drawn card = draw(kParallelogram);
    for (double& y : card.load) y = 9.7 + 0.3 * y;
    const auto& v = card_features(card.pos, card.load).value;
    EXPECT_NEAR(v[kMinMaxRatio], 0.97, 1e-12);
    EXPECT_NEAR(v[kAreaRatio], 0.9, 1e-9);  // the shape is measured against its own range
}

TEST(CardFeatures, SpikesAtEitherEnd) {
    // A load spike at the top of the up-stroke (the pump tags up) and a
    // dip at the bottom of the down-stroke (it tags down).
    const Drawn top = scaled(draw({{0.0, 0.0}, {0.1, 1.0}, {0.95, 1.0}, {1.0, 1.5}, {0.9, 0.0}}));
    const auto& t = card_features(top.pos, top.load).value;
    EXPECT_NEAR(t[kTopSpike], 0.5 / 1.5, 1e-9);
    EXPECT_NEAR(t[kBottomDip], 0.0, 1e-9);
    const Drawn bottom =
        scaled(draw({{0.0, 0.0}, {0.1, 1.0}, {1.0, 1.0}, {0.9, 0.0}, {0.03, 0.0}, {0.0, -0.5}}));
    const auto& b = card_features(bottom.pos, bottom.load).value;
    EXPECT_NEAR(b[kBottomDip], 0.5 / 1.5, 1e-9);
    EXPECT_NEAR(b[kTopSpike], 0.0, 1e-9);
}

TEST(CardFeatures, DegenerateCardsGiveZerosNotFaults) {
    const std::vector<double> none;
    const std::vector<double> few = {0.0, 1.0, 2.0};
    const std::vector<double> still(50, 1.0), ramp = [] {
        std::vector<double> r;
        for (int i = 0; i < 50; ++i) r.push_back(i < 25 ? i : 50 - i);
        return r;
    }();
    for (const auto& [p, l] :
         {std::pair{none, none}, {few, few}, {still, ramp}, {ramp, still}, {ramp, few}}) {
        const CardFeatures f = card_features(p, l);
        for (double x : f.value) EXPECT_TRUE(std::isfinite(x));
    }
    EXPECT_EQ(card_features(still, ramp).value[kAreaRatio], 0.0);
}

}  // namespace
}  // namespace tavo::condition
