// One pump card: a surface card of 200 or 800 samples over a four-taper
// string, carried down with its readings, rod loading and diagnosis.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

#include "downhole/pump_card.h"
#include "downhole/surface_card.h"

namespace {

namespace dh = tavo::downhole;

tavo::well::WellRecord bench_well() {
    tavo::well::WellRecord w;
    auto rod = [](double length_m, double mm, double kg_per_m) {
        tavo::well::RodTaper t;
        t.length_m = length_m;
        t.diameter_mm = mm;
        t.weight_kg_per_m = kg_per_m;
        t.tensile_MPa = 793;
        return t;
    };
    w.rods = {rod(600, 25.4, 4.32), rod(700, 22.2, 3.31), rod(600, 19.05, 2.43), rod(100, 38.1, 9.86)};
    w.pump = {2000, 38};
    return w;
}

dh::SurfaceStroke bench_card(std::size_t n) {
    dh::PumpStroke pump;
    pump.period_s = 10;
    for (std::size_t j = 0; j < n; ++j) {
        const double phase = 2.0 * std::numbers::pi * static_cast<double>(j) / static_cast<double>(n);
        const double x = 0.5 * (1.0 - std::cos(phase));
        const double edge = phase < std::numbers::pi ? 0.1 : 0.7;
        pump.position_m.push_back(3.0 * x);
        pump.load_kN.push_back(20.0 / (1.0 + std::exp(-(x - edge) / 0.02)));
    }
    const dh::SurfaceCardResult up = dh::surface_card(pump, bench_well());
    return {up.position_m, up.load_kN, pump.period_s};
}

void BM_PumpCard(benchmark::State& state) {
    const dh::SurfaceStroke card = bench_card(static_cast<std::size_t>(state.range(0)));
    const tavo::well::WellRecord well = bench_well();
    for (auto _ : state) {
        dh::PumpCardResult r = dh::pump_card(card, well);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_PumpCard)->Arg(200)->Arg(800)->Unit(benchmark::kMicrosecond);

}  // namespace
