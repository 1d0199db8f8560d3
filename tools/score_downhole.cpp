// Scores the pump card against a commercial analyzer's pump cards and
// figures (two real wells, US units); against an independent finite-
// difference solver (tools/fd_reference.h) at the same damping, on those
// wells and on real surface cards each given a drawn rod string; and on
// round trips: pump cards of known shape carried up the rod string by the
// forward wave equation to a surface card, then back down.
//   score_downhole [--data DIR] [--cards FILE.ts] [--harmonics N] [--list]
// DIR: the wells' folder (default ../shared/realdata/downhole-vendor beside
// the source tree); FILE: labelled surface cards (default the development
// set); --list prints each real card's errors. Prints the errors; the
// targets are in docs/algorithms.md.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <numbers>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "downhole/card_reading.h"
#include "downhole/downhole_words.h"
#include "downhole/pump_card.h"
#include "downhole/rod_loading.h"
#include "downhole/rod_string.h"
#include "downhole/surface_card.h"
#include "downhole/travel_direction.h"
#include "tools/card_set.h"
#include "tools/fd_reference.h"
#include "well/well_defaults.h"

namespace {

namespace fs = std::filesystem;
namespace dh = tavo::downhole;
using nlohmann::json;

constexpr double kInch = 0.0254, kFoot = 0.3048, kLbf_kN = 4.4482216152605e-3, kPsi_MPa = 6.894757293168e-3;
constexpr double kLbPerFt_kgPerM = 1.488163943569554;

double num(const json& j, double fallback = 0.0) {
    if (j.is_number()) return j.get<double>();
    if (j.is_string()) return std::atof(j.get<std::string>().c_str());
    return fallback;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Shape {
    double median_pct = 0.0, max_pct = 0.0;
};

// Load difference with each card's mean removed, as % of the reference's range.
Shape shape_error(const std::vector<double>& mine, const std::vector<double>& ref) {
    const double mm = std::accumulate(mine.begin(), mine.end(), 0.0) / static_cast<double>(mine.size());
    const double mr = std::accumulate(ref.begin(), ref.end(), 0.0) / static_cast<double>(ref.size());
    const auto [lo, hi] = std::minmax_element(ref.begin(), ref.end());
    std::vector<double> e;
    for (std::size_t i = 0; i < ref.size(); ++i)
        e.push_back(100.0 * std::fabs((mine[i] - mm) - (ref[i] - mr)) / (*hi - *lo));
    return {median(e), *std::max_element(e.begin(), e.end())};
}

struct Vendor {
    std::string name;
    tavo::well::WellRecord well;
    dh::SurfaceStroke forward, stored;
    std::vector<double> pump_pos_m, pump_load_kN;  // forward in time
    double fluid_load_kN = 0, fillage_pct = 0, gross_m = 0, intake_MPa = 0;
    std::vector<double> goodman_pct;  // per taper, when given
    std::optional<double> damping;    // when the file says
};

Vendor read_vendor(const fs::path& file) {
    std::ifstream in(file);
    const json j = json::parse(in);
    Vendor v;
    v.name = file.stem().string();
    const json& eq = j["equipmentData"];
    for (const json& r : eq["Rods"]) {
        tavo::well::RodTaper t;
        t.length_m = num(r["TotalLength"]) * kFoot;
        t.diameter_mm = num(r["Diameter"]) * kInch * 1000.0;
        t.weight_kg_per_m = num(r["Weight"]) * kLbPerFt_kgPerM;
        t.modulus_GPa = num(r["ModulusOfElasticity"]) * kPsi_MPa / 1000.0;
        t.tensile_MPa = num(r["MinimumTensile"]) * kPsi_MPa;
        v.well.rods.push_back(t);
        if (r.contains("RodStress") && r["RodStress"].is_number())
            v.goodman_pct.push_back(100.0 * num(r["RodStress"]));
    }
    v.well.pump.depth_m = num(eq["Pump"]["Depth"]) * kFoot;
    v.well.pump.plunger_mm = num(eq["Pump"]["Diameter"]) * kInch * 1000.0;
    const json& bore = eq["WellBore"];
    v.well.fluid.water_cut_pct = num(j["WellTestData"]["WaterCut"]);
    v.well.fluid.oil_kg_m3 = 141.5 / (131.5 + num(bore["OilApi"])) * 999.0;
    v.well.fluid.water_kg_m3 = num(bore["WaterGravity"], 1.0) * 999.0;
    // The analyzer's own fluid density, where it gives one, for like
    // pressures.
    const double density = num(j["downholeCardAnalysis"]["Fluid Density"]);
    if (density > 0.0) {
        v.well.fluid.water_cut_pct = 100.0;
        v.well.fluid.water_kg_m3 = density;
    }
    const json& ip = j["InputParameters"];
    v.well.pressure.tubing_head_MPa = num(ip["TubingPressure"]) * kPsi_MPa;
    v.well.pressure.casing_MPa = num(ip["CasingPressure"]) * kPsi_MPa;
    const double period = 60.0 / num(ip["StrokesPerMinute"]);

    const auto& pos = j["cardData"]["Position"];
    const auto& load = j["cardData"]["Load"];
    v.stored.period_s = v.forward.period_s = period;
    for (std::size_t i = 0; i < pos.size(); ++i) {
        v.stored.position_m.push_back(num(pos[i]) * kInch);
        v.stored.load_kN.push_back(num(load[i]) * kLbf_kN);
    }
    // Stored backward in time: walk from the last sample to the first.
    v.forward.position_m.assign(v.stored.position_m.rbegin(), v.stored.position_m.rend());
    v.forward.load_kN.assign(v.stored.load_kN.rbegin(), v.stored.load_kN.rend());
    for (const json& x : j["downholeCard"]["Position"]) v.pump_pos_m.push_back(num(x) * kInch);
    for (const json& x : j["downholeCard"]["Load"]) v.pump_load_kN.push_back(num(x) * kLbf_kN);
    const json& a = j["downholeCardAnalysis"];
    v.fluid_load_kN = num(a["Fluid Load"]) * kLbf_kN;
    v.fillage_pct = num(a["Pump Fillage"]);
    v.intake_MPa = num(a["Pump Intake Pressure"]) * kPsi_MPa;
    const auto [lo, hi] = std::minmax_element(v.pump_pos_m.begin(), v.pump_pos_m.end());
    v.gross_m = *hi - *lo;
    if (j.contains("dynaoutputData")) v.damping = num(j["dynaoutputData"]["Rods"][0]["DampingCoefficient"]);
    return v;
}

// Samples of the analyzer's card compared: its first and last few carry
// start-up artefacts.
constexpr std::size_t kEdge = 3;

void score_vendor(const Vendor& v, double nu, int harmonics) {
    dh::Settings s;
    s.damping_nu = nu;
    s.harmonics = harmonics;
    const dh::PumpCardResult r = dh::pump_card(v.forward, v.well, s);
    if (!r.ok()) {
        std::printf("%s: cannot compute\n", v.name.c_str());
        return;
    }
    const std::size_t n = r.pump_load_kN.size();
    // Sample k here is forward sample (first + k) of the input.
    std::vector<double> mine, ref, mine_pos, ref_pos;
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t j = (r.first_input_sample + k) % n;
        if (j < kEdge || j + kEdge >= n) continue;
        mine.push_back(r.pump_load_kN[k]);
        ref.push_back(v.pump_load_kN[j]);
        mine_pos.push_back(r.pump_position_m[k]);
        ref_pos.push_back(v.pump_pos_m[j]);
    }
    const Shape load = shape_error(mine, ref);
    const Shape pos = shape_error(mine_pos, ref_pos);
    // The same card traced backwards.
    const dh::PumpCardResult back = dh::pump_card(v.stored, v.well, s);
    double back_diff = 0.0;
    for (std::size_t k = 0; k < n; ++k)
        back_diff = std::max(back_diff, std::fabs(back.pump_load_kN[k] - r.pump_load_kN[k]));

    std::printf("%s  nu %.2f  harmonics %d  reversed input detected: %s, backward trace differs by %.2g kN\n",
                v.name.c_str(), nu, r.harmonics, r.reversed ? "yes" : "no", back_diff);
    std::printf(
        "  load shape: median %.2f %%, max %.2f %% of range; position shape: median %.2f %%, max %.2f %%\n",
        load.median_pct, load.max_pct, pos.median_pct, pos.max_pct);
    std::printf("  gross stroke %.3f m vs %.3f m (%+.2f %%); fluid load %.2f kN vs %.2f kN (%+.2f %%)\n",
                r.reading.gross_stroke_m, v.gross_m, 100.0 * (r.reading.gross_stroke_m / v.gross_m - 1.0),
                r.reading.fluid_load_kN, v.fluid_load_kN,
                100.0 * (r.reading.fluid_load_kN / v.fluid_load_kN - 1.0));
    std::printf(
        "  fillage %.1f %% vs %.1f %% (%+.1f points); intake pressure %.2f MPa vs %.2f MPa (estimates)\n",
        r.reading.fillage_pct, v.fillage_pct, r.reading.fillage_pct - v.fillage_pct,
        r.production.intake_pressure_MPa, v.intake_MPa);
    std::printf("  pump-card diagnosis: %s\n", dh::condition_key(r.diagnosis.condition));
    for (std::size_t i = 0; i < r.tapers.size(); ++i) {
        const auto& t = r.tapers[i];
        std::printf("  taper %zu: stress %.1f..%.1f MPa, Goodman %.1f %%", i + 1, t.min_stress_MPa,
                    t.max_stress_MPa, t.goodman_pct.value_or(NAN));
        if (i < v.goodman_pct.size())
            std::printf(" vs %.1f %% (%+.1f points)", v.goodman_pct[i],
                        t.goodman_pct.value_or(NAN) - v.goodman_pct[i]);
        std::printf("\n");
    }
}

// ---- round trips -----------------------------------------------------------

struct Plate {
    std::string name;
    std::vector<double> x, y;  // 0..1, time order, open loop
};

// The plate's outline resampled evenly along its length into a stroke of
// equal time steps, run so that the rising half carries the high loads.
Plate plate_stroke(const std::string& name, const json& card, std::size_t n) {
    std::vector<double> x, y;
    for (const json& v : card["position"]) x.push_back(num(v));
    for (const json& v : card["load"]) y.push_back(num(v));
    const auto norm = [](std::vector<double>& v) {
        const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
        const double a = *lo, b = *hi;
        for (double& z : v) z = (z - a) / (b - a);
    };
    norm(x);
    norm(y);
    if (x.front() == x.back() && y.front() == y.back()) {
        x.pop_back();
        y.pop_back();
    }
    if (dh::loop_work(x, y) < 0.0) {
        std::reverse(x.begin(), x.end());
        std::reverse(y.begin(), y.end());
    }
    const std::size_t m = x.size();
    std::vector<double> along{0.0};
    for (std::size_t i = 0; i < m; ++i) {
        const std::size_t j = (i + 1) % m;
        along.push_back(along.back() + std::hypot(x[j] - x[i], y[j] - y[i]));
    }
    Plate p;
    p.name = name;
    std::size_t seg = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const double s = along.back() * static_cast<double>(k) / static_cast<double>(n);
        while (along[seg + 1] < s) ++seg;
        const double share = (s - along[seg]) / std::max(along[seg + 1] - along[seg], 1e-12);
        const std::size_t j = (seg + 1) % m;
        p.x.push_back(x[seg] + share * (x[j] - x[seg]));
        p.y.push_back(y[seg] + share * (y[j] - y[seg]));
    }
    return p;
}

struct StringCase {
    const char* name;
    tavo::well::WellRecord well;
    double period_s, stroke_m, fluid_load_kN;
};

tavo::well::RodTaper taper(double length_m, double mm, double kg_per_m, double gpa = 206.0) {
    return {length_m, mm, kg_per_m, gpa, 793.0, "D"};
}

std::vector<StringCase> string_cases() {
    std::vector<StringCase> cs;
    auto add = [&](const char* name, std::vector<tavo::well::RodTaper> rods, double depth, double plunger,
                   double period, double stroke, double fo) {
        StringCase c{name, {}, period, stroke, fo};
        c.well.rods = std::move(rods);
        c.well.pump.depth_m = depth;
        c.well.pump.plunger_mm = plunger;
        c.well.fluid.water_cut_pct = 80;
        c.well.fluid.water_kg_m3 = 1050;
        cs.push_back(c);
    };
    add("steel 22/19 mm, 1200 m", {taper(500, 22.2, 3.31), taper(700, 19.05, 2.43)}, 1200, 44, 8, 2.5, 15);
    add("steel 25/22/19 mm + sinker, 2000 m",
        {taper(600, 25.4, 4.32), taper(700, 22.2, 3.31), taper(600, 19.05, 2.43), taper(100, 38.1, 9.86)},
        2000, 38, 12, 3.5, 20);
    add("steel 19 mm, 800 m", {taper(800, 19.05, 2.43)}, 800, 56, 5, 1.8, 14);
    add("fibreglass 25 mm + steel 22 mm + sinker, 1600 m",
        {taper(1000, 25.4, 1.07, 48), taper(500, 22.2, 3.31), taper(100, 38.1, 9.86)}, 1600, 44, 9, 3.0, 19);
    return cs;
}

struct Trip {
    Shape vs_card, vs_kept;
    double stroke_pct, fo_pct, fillage_pts, goodman_pts;
    double reversed_diff_kN;
};

// The card as the solver's harmonics can hold it.
std::vector<double> kept_harmonics(const std::vector<double>& x, int m) {
    return tavo::fdref::fourier_resample(x, x.size(), m);
}

// smooth: the chosen card first kept to the solver's harmonics, so that
// only the solver's own error remains.
std::optional<Trip> round_trip(const Plate& plate, const StringCase& c, double nu, int harmonics,
                               bool smooth) {
    dh::PumpStroke pump;
    pump.period_s = c.period_s;
    for (std::size_t i = 0; i < plate.x.size(); ++i) {
        pump.position_m.push_back(plate.x[i] * c.stroke_m);
        pump.load_kN.push_back(plate.y[i] * c.fluid_load_kN);
    }
    if (smooth) {
        pump.position_m = kept_harmonics(pump.position_m, harmonics);
        pump.load_kN = kept_harmonics(pump.load_kN, harmonics);
    }
    dh::Settings up;
    up.damping_nu = nu;
    up.harmonics = 99;  // all a 200-sample stroke holds;
    const dh::SurfaceCardResult surface = dh::surface_card(pump, c.well, up);
    if (!surface.ok()) return std::nullopt;
    dh::Settings down = up;
    down.harmonics = harmonics;
    const dh::PumpCardResult r =
        dh::pump_card({surface.position_m, surface.load_kN, c.period_s}, c.well, down);
    dh::SurfaceStroke backwards{surface.position_m, surface.load_kN, c.period_s};
    std::reverse(backwards.position_m.begin(), backwards.position_m.end());
    std::reverse(backwards.load_kN.begin(), backwards.load_kN.end());
    const dh::PumpCardResult rb = dh::pump_card(backwards, c.well, down);
    if (!r.ok() || !rb.ok()) return std::nullopt;

    const std::size_t n = pump.load_kN.size();
    std::vector<double> ref(n), ref_pos(n);
    for (std::size_t k = 0; k < n; ++k) {
        ref[k] = pump.load_kN[(r.first_input_sample + k) % n];
        ref_pos[k] = pump.position_m[(r.first_input_sample + k) % n];
    }
    Trip t{};
    t.vs_card = shape_error(r.pump_load_kN, ref);
    t.vs_kept = shape_error(r.pump_load_kN, kept_harmonics(ref, r.harmonics));
    const dh::CardReading truth = dh::read_pump_card(ref_pos, ref);
    t.stroke_pct = 100.0 * (r.reading.gross_stroke_m / truth.gross_stroke_m - 1.0);
    t.fo_pct = 100.0 * (r.reading.fluid_load_kN / truth.fluid_load_kN - 1.0);
    t.fillage_pts = r.reading.fillage_pct - truth.fillage_pct;
    t.goodman_pts = 0.0;
    for (std::size_t i = 0; i < r.tapers.size(); ++i) {
        const double a = r.tapers[i].goodman_pct.value_or(0), b = surface.tapers[i].goodman_pct.value_or(0);
        if (std::fabs(a - b) > std::fabs(t.goodman_pts)) t.goodman_pts = a - b;
    }
    for (std::size_t k = 0; k < n; ++k)
        t.reversed_diff_kN = std::max(t.reversed_diff_kN, std::fabs(rb.pump_load_kN[k] - r.pump_load_kN[k]));
    return t;
}

// ---- against the finite-difference reference -------------------------------

// The reference is fed the card with this many harmonics (all that 200-odd
// samples hold) on a time step a quarter of the card's.
constexpr int kReferenceHarmonics = 1000;
constexpr int kReferenceRefine = 4;

struct Versus {
    Shape shape;
    double stroke_pct = 0, fo_pct = 0, fill_pts = 0;
    std::optional<double> goodman_pts;  // the taper of largest difference
    double ref_fo_kN = 0, ref_fill_pct = 0;
};

// The product's pump card (already computed in time order) against the
// reference's of the same stroke at the same damping. The reference's pump
// load is fed `load_h` harmonics, its plunger position and taper loads
// `more_h` (the product keeps twice as many for those).
std::optional<Versus> versus_reference(const dh::PumpCardResult& r, const tavo::well::WellRecord& well,
                                       double nu, int load_h, int more_h) {
    const auto rods = tavo::fdref::tapers_of(well, nu);
    const auto run = [&](int h) {
        return tavo::fdref::march(rods, r.surface_position_m, r.surface_load_kN, r.period_s, h,
                                  kReferenceRefine);
    };
    const tavo::fdref::Result ref = run(load_h);
    const tavo::fdref::Result more = more_h == load_h ? ref : run(more_h);
    if (!ref.ok || !more.ok) return std::nullopt;
    Versus v;
    v.shape = shape_error(r.pump_load_kN, ref.pump_load_kN);
    const dh::CardReading truth = dh::read_pump_card(more.pump_position_m, ref.pump_load_kN);
    v.stroke_pct = 100.0 * (r.reading.gross_stroke_m / truth.gross_stroke_m - 1.0);
    v.fo_pct = 100.0 * (r.reading.fluid_load_kN / truth.fluid_load_kN - 1.0);
    v.fill_pts = r.reading.fillage_pct - truth.fillage_pct;
    v.ref_fo_kN = truth.fluid_load_kN;
    v.ref_fill_pct = truth.fillage_pct;
    for (std::size_t k = 0; k < r.tapers.size() && k < more.taper_top_load_kN.size(); ++k) {
        const auto [lo, hi] =
            std::minmax_element(more.taper_top_load_kN[k].begin(), more.taper_top_load_kN[k].end());
        const double area = rods[k].area_mm2;
        const auto g = dh::goodman_loading_pct(*hi * 1000.0 / area, *lo * 1000.0 / area,
                                               dh::tensile_strength_MPa(well.rods[k]), 1.0);
        const auto mine = r.tapers[k].goodman_pct;
        if (!g || !mine) continue;
        if (!v.goodman_pts || std::fabs(*mine - *g) > std::fabs(*v.goodman_pts)) v.goodman_pts = *mine - *g;
    }
    return v;
}

// A plausible well for a real surface card, drawn from its index: one to
// four tapers over 600-2500 m, steel of the API sizes, sometimes a
// fibreglass top or sinker bars at the foot; a plunger for the depth; a
// period and stroke the string can run at; the card's loads scaled to the
// string's buoyant weight, its fluid load and the dynamic factor S·N²/1790.
struct DrawnWell {
    tavo::well::WellRecord well;
    double period_s = 0, stroke_m = 0, min_kN = 0, max_kN = 0;
    std::string text;
};

DrawnWell draw_well(std::size_t index) {
    tavo::samples::Rng rng(0xD0E5ull * 1000003ull + index);
    DrawnWell d;
    auto& w = d.well;
    const double depth = 600.0 + 1900.0 * rng.unit();
    const int n = 1 + static_cast<int>(rng.below(4));
    const bool sinker = n >= 2 && rng.unit() < 0.35;
    const bool glass = n >= 2 && rng.unit() < 0.3;
    const int steel = n - (sinker ? 1 : 0) - (glass ? 1 : 0);
    // Steel sizes from the top: 29, 25, 22, 19, 16 mm, the foot's drawn.
    const double sizes[] = {15.875, 19.05, 22.225, 25.4, 28.575};
    const int foot = static_cast<int>(rng.below(static_cast<uint64_t>(std::max(1, 6 - std::max(steel, 1)))));
    double left = depth;
    if (glass) {
        const double len = depth * (0.4 + 0.25 * rng.unit());
        w.rods.push_back({len, 25.4, 1.07, 48.0, std::nullopt, "fibreglass"});
        left -= len;
    }
    const double bars = sinker ? 50.0 + 150.0 * rng.unit() : 0.0;
    left -= bars;
    for (int i = 0; i < steel; ++i) {
        const int size = foot + (steel - 1 - i);
        const double len = i + 1 == steel ? left : left * (0.3 + 0.4 * rng.unit()) * 2.0 / (steel - i);
        w.rods.push_back({std::min(len, left), sizes[size], std::nullopt, 206.0, 793.0, "D"});
        left -= w.rods.back().length_m;
    }
    if (sinker) w.rods.push_back({bars, 38.1, std::nullopt, 206.0, 793.0, "sinker"});
    w.pump.depth_m = depth;
    const double plungers[] = {32.0, 38.0, 44.0, 56.0, 70.0};
    const int deep = depth > 1800 ? 2 : depth > 1200 ? 3 : 5;
    w.pump.plunger_mm = plungers[rng.below(static_cast<uint64_t>(deep))];
    w.fluid.water_cut_pct = 98.0 * rng.unit();
    w.fluid.water_kg_m3 = 1050;

    d.stroke_m = 1.2 + 4.8 * rng.unit();
    d.period_s = 6.0 + 14.0 * rng.unit();
    // No faster than a dynamic factor of 0.35.
    const double slowest = std::sqrt(d.stroke_m * 3600.0 / (1790.0 * 0.35));
    d.period_s = std::max(d.period_s, slowest);
    const double spm = 60.0 / d.period_s;
    const double f1 = d.stroke_m * spm * spm / 1790.0;
    const double rho = dh::mixture_density(w.fluid);
    double buoyant = 0.0;
    for (const auto& t : w.rods) {
        const double a = std::numbers::pi * t.diameter_mm * t.diameter_mm / 4e6;
        buoyant += (tavo::well::weight_kg_per_m(t).value_or(0) - rho * a) * 9.80665 * t.length_m / 1000.0;
    }
    const double ap = std::numbers::pi * w.pump.plunger_mm * w.pump.plunger_mm / 4e6;
    const double fo = rho * 9.80665 * depth * ap / 1000.0 * (0.7 + 0.3 * rng.unit());
    d.max_kN = buoyant * (1.0 + f1) + fo;
    d.min_kN = std::max(0.1 * buoyant, buoyant * (1.0 - f1));
    char text[160];
    std::snprintf(text, sizeof text, "%d tapers%s%s, %.0f m, plunger %.0f mm, %.1f s, %.2f m, %.1f-%.1f kN",
                  n, glass ? " (fibreglass top)" : "", sinker ? " (sinker bars)" : "", depth,
                  w.pump.plunger_mm, d.period_s, d.stroke_m, d.min_kN, d.max_kN);
    d.text = text;
    return d;
}

dh::SurfaceStroke scaled_card(const tavo::samples::CardShape& c, const DrawnWell& d) {
    dh::SurfaceStroke s;
    s.period_s = d.period_s;
    const auto [pl, ph] = std::minmax_element(c.pos.begin(), c.pos.end());
    const auto [ll, lh] = std::minmax_element(c.load.begin(), c.load.end());
    for (std::size_t i = 0; i < c.pos.size(); ++i) {
        s.position_m.push_back(d.stroke_m * (c.pos[i] - *pl) / std::max(*ph - *pl, 1e-9));
        s.load_kN.push_back(d.min_kN + (d.max_kN - d.min_kN) * (c.load[i] - *ll) / std::max(*lh - *ll, 1e-9));
    }
    return s;
}

// Share of the values within a limit, the median, the 95th percentile and
// the worst.
void print_spread(const char* what, std::vector<double> v, double limit, const char* unit) {
    if (v.empty()) {
        std::printf("  %-26s none\n", what);
        return;
    }
    std::sort(v.begin(), v.end());
    const auto within = std::count_if(v.begin(), v.end(), [&](double x) { return x <= limit; });
    std::printf("  %-26s within %g%s: %5.1f %%   median %6.2f   95th %7.2f   worst %8.2f   (%zu)\n", what,
                limit, unit, 100.0 * static_cast<double>(within) / static_cast<double>(v.size()),
                v[v.size() / 2], v[(v.size() * 95) / 100], v.back(), v.size());
}

struct Spread {
    std::vector<double> med, max, stroke, fo, fill, good;
    void add(const Versus& v) {
        med.push_back(v.shape.median_pct);
        max.push_back(v.shape.max_pct);
        stroke.push_back(std::fabs(v.stroke_pct));
        fo.push_back(std::fabs(v.fo_pct));
        fill.push_back(std::fabs(v.fill_pts));
        if (v.goodman_pts) good.push_back(std::fabs(*v.goodman_pts));
    }
    void print() const {
        print_spread("load shape median", med, 1.0, " %");
        print_spread("load shape max", max, 5.0, " %");
        print_spread("gross stroke", stroke, 1.0, " %");
        print_spread("fluid load", fo, 5.0, " %");
        print_spread("fillage", fill, 6.0, " points");
        print_spread("Goodman (worst taper)", good, 3.0, " points");
    }
};

// How far the rounding of a card (0.01 m and 0.1 kN in the data set's units)
// alone moves a pump card of all harmonics: the card kept to `harmonics`,
// once as is and once rounded like the data, both through the reference.
Shape rounding_effect(const tavo::samples::CardShape& c, const DrawnWell& d, const dh::PumpCardResult& r,
                      double nu, int harmonics) {
    const auto [pl, ph] = std::minmax_element(c.pos.begin(), c.pos.end());
    const auto [ll, lh] = std::minmax_element(c.load.begin(), c.load.end());
    const double pos_step = 0.01 * d.stroke_m / std::max(*ph - *pl, 1e-9);
    const double load_step = 0.1 * (d.max_kN - d.min_kN) / std::max(*lh - *ll, 1e-9);
    const std::size_t n = r.surface_position_m.size();
    std::vector<double> pos = tavo::fdref::fourier_resample(r.surface_position_m, n, harmonics);
    std::vector<double> load = tavo::fdref::fourier_resample(r.surface_load_kN, n, harmonics);
    const auto rods = tavo::fdref::tapers_of(d.well, nu);
    const auto smooth =
        tavo::fdref::march(rods, pos, load, r.period_s, kReferenceHarmonics, kReferenceRefine);
    for (double& x : pos) x = pos_step * std::round(x / pos_step);
    for (double& x : load) x = load_step * std::round(x / load_step);
    const auto rounded =
        tavo::fdref::march(rods, pos, load, r.period_s, kReferenceHarmonics, kReferenceRefine);
    if (!smooth.ok || !rounded.ok) return {};
    return shape_error(rounded.pump_load_kN, smooth.pump_load_kN);
}

void score_real_cards(const std::vector<tavo::samples::LabelledCard>& cards, int harmonics, bool list) {
    for (int ref_h : {harmonics, kReferenceHarmonics}) {
        const bool same = ref_h == harmonics;
        for (double nu : {0.0, tavo::well::default_damping_nu, 0.2}) {
            Spread all;
            std::vector<double> round_med, round_max;
            int failed = 0;
            for (std::size_t i = 0; i < cards.size(); ++i) {
                const DrawnWell d = draw_well(i);
                dh::Settings s;
                s.damping_nu = nu;
                s.harmonics = harmonics;
                const dh::PumpCardResult r = dh::pump_card(scaled_card(cards[i].card, d), d.well, s);
                const auto v =
                    r.ok() ? versus_reference(r, d.well, nu, ref_h, same ? 2 * ref_h : ref_h) : std::nullopt;
                if (!v) {
                    ++failed;
                    continue;
                }
                all.add(*v);
                if (!same) {
                    const Shape e = rounding_effect(cards[i].card, d, r, nu, harmonics);
                    round_med.push_back(e.median_pct);
                    round_max.push_back(e.max_pct);
                }
                if (list)
                    std::printf(
                        "#%zu %-24s %s | shape %.2f/%.2f stroke %+.2f Fo %+.2f (ref %.1f kN) fill %+.1f (ref "
                        "%.0f) Goodman %+.1f\n",
                        i, cards[i].label.c_str(), d.text.c_str(), v->shape.median_pct, v->shape.max_pct,
                        v->stroke_pct, v->fo_pct, v->ref_fo_kN, v->fill_pts, v->ref_fill_pct,
                        v->goodman_pts.value_or(NAN));
            }
            std::printf("\n%zu real cards, nu %.2f, reference fed %s harmonics%s:\n", cards.size(), nu,
                        ref_h == harmonics ? "the product's" : "all",
                        failed ? (", " + std::to_string(failed) + " not computed").c_str() : "");
            all.print();
            if (same) continue;
            std::printf("  the card's rounding alone, through the reference with all harmonics:\n");
            print_spread("load shape median", round_med, 1.0, " %");
            print_spread("load shape max", round_max, 5.0, " %");
        }
    }
}

void vendor_vs_reference(const Vendor& v, double nu, int harmonics) {
    dh::Settings s;
    s.damping_nu = nu;
    s.harmonics = harmonics;
    const dh::PumpCardResult r = dh::pump_card(v.forward, v.well, s);
    for (int ref_h : {harmonics, kReferenceHarmonics}) {
        const auto x = r.ok() ? versus_reference(r, v.well, nu, ref_h, ref_h == harmonics ? 2 * ref_h : ref_h)
                              : std::nullopt;
        if (!x) continue;
        std::printf(
            "  vs the reference (%s harmonics): load shape %.2f/%.2f %%, stroke %+.2f %%, fluid load %+.2f "
            "%%, "
            "fillage %+.1f, Goodman %+.1f points\n",
            ref_h == harmonics ? "same" : "all", x->shape.median_pct, x->shape.max_pct, x->stroke_pct,
            x->fo_pct, x->fill_pts, x->goodman_pts.value_or(NAN));
    }
}

}  // namespace

int main(int argc, char** argv) {
    fs::path dir = fs::path(TAVO_SOURCE_DIR) / ".." / "shared" / "realdata" / "downhole-vendor";
    std::string cards_file = tavo::samples::default_dev_set(TAVO_SOURCE_DIR);
    bool named_cards = false, list = false;
    int harmonics = dh::kDefaultHarmonics;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--data" && i + 1 < argc)
            dir = argv[++i];
        else if (a == "--cards" && i + 1 < argc) {
            cards_file = argv[++i];
            named_cards = true;
        } else if (a == "--list")
            list = true;
        else if (a == "--harmonics" && i + 1 < argc)
            harmonics = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr,
                         "usage: score_downhole [--data DIR] [--cards FILE.ts] [--harmonics N] [--list]\n");
            return 2;
        }
    }
    std::printf("== the analyzer's wells (%s)\n", dir.string().c_str());
    std::vector<fs::path> wells;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().rfind("cleansed_well_", 0) == 0) wells.push_back(e.path());
    std::sort(wells.begin(), wells.end());
    for (const fs::path& f : wells) {
        const Vendor v = read_vendor(f);
        if (v.damping) {
            score_vendor(v, *v.damping, harmonics);
            vendor_vs_reference(v, *v.damping, harmonics);
        } else {
            score_vendor(v, 0.0, harmonics);
            vendor_vs_reference(v, 0.0, harmonics);
            score_vendor(v, tavo::well::default_damping_nu, harmonics);
            vendor_vs_reference(v, tavo::well::default_damping_nu, harmonics);
        }
    }

    std::printf(
        "\n== real surface cards (%s), each with a drawn rod string, against the finite-difference "
        "reference\n",
        cards_file.c_str());
    std::vector<tavo::samples::LabelledCard> cards;
    int status = 0;
    if (tavo::samples::read_cards_or_say("score_downhole", cards_file, named_cards, cards, status))
        score_real_cards(cards, harmonics, list);
    else if (status != 0)
        return status;

    std::ifstream plates_in(dir / "plate_reference_cards.json");
    const json plates = json::parse(plates_in);
    std::printf(
        "\n== round trips: ten plate shapes x four rod strings x damping 0, %.2f, 0.2 (200 samples)\n",
        tavo::well::default_damping_nu);
    std::printf("%-34s %-12s %13s %13s %8s %8s %8s %8s %9s\n", "shape", "string", "vs card med/max",
                "vs kept med/max", "stroke%", "Fo%", "fill pt", "Goodm pt", "rev kN");
    const auto cases = string_cases();
    std::printf("pump-card diagnosis of each shape after the round trip (string 1, default damping):\n");
    // The plate's names as conditions; the plunger out of the barrel and
    // sand have none of their own, so they never count as right.
    const std::map<std::string, dh::PumpCondition> own{
        {"NORMAL", dh::PumpCondition::full_pump},
        {"FLUID_POUND", dh::PumpCondition::fluid_pound},
        {"GAS_INTERFERENCE", dh::PumpCondition::gas_interference},
        {"ROD_PARTING", dh::PumpCondition::parted_rods},
        {"PUMP_TAGGING_UP", dh::PumpCondition::pump_hitting_up},
        {"PUMP_TAGGING_DOWN", dh::PumpCondition::pump_hitting_down},
        {"VALVE_LEAK_TV", dh::PumpCondition::travelling_valve_leak},
        {"VALVE_LEAK_SV", dh::PumpCondition::standing_valve_leak}};
    // One plate shape carried up a rod string and read back.
    auto diagnosed = [&](const std::string& name, const json& card, const StringCase& sc) {
        const Plate p = plate_stroke(name, card, 200);
        dh::PumpStroke pump{{}, {}, sc.period_s};
        // A parted string lifts no fluid column: its plate shape at a tenth
        // of the load.
        const double fo = card["mode"] == "ROD_PARTING" ? 0.1 * sc.fluid_load_kN : sc.fluid_load_kN;
        for (std::size_t i = 0; i < p.x.size(); ++i) {
            pump.position_m.push_back(p.x[i] * sc.stroke_m);
            pump.load_kN.push_back(p.y[i] * fo);
        }
        const dh::SurfaceCardResult up = dh::surface_card(pump, sc.well, {std::nullopt, 24, 1, 99});
        return dh::pump_card({up.position_m, up.load_kN, pump.period_s}, sc.well);
    };
    auto is_own = [&](const json& card, dh::PumpCondition c) {
        const auto it = own.find(card["mode"].get<std::string>());
        return it != own.end() && it->second == c;
    };
    int right = 0;
    for (const auto& [name, card] : plates["cards"].items()) {
        const dh::PumpCardResult r = diagnosed(name, card, cases[0]);
        std::printf("  %-32s -> %-22s fillage %5.1f %%\n", card["mode"].get<std::string>().c_str(),
                    dh::condition_key(r.diagnosis.condition), r.reading.fillage_pct);
        if (is_own(card, r.diagnosis.condition)) ++right;
    }
    std::printf("plate shapes diagnosed as their own condition: %d of %zu\n", right, plates["cards"].size());
    // The same over all four strings, lest the limits fit one string only.
    int right_all = 0, all = 0;
    std::string missed;
    for (const auto& [name, card] : plates["cards"].items()) {
        for (std::size_t ci = 0; ci < cases.size(); ++ci) {
            const dh::PumpCondition c = diagnosed(name, card, cases[ci]).diagnosis.condition;
            ++all;
            if (is_own(card, c))
                ++right_all;
            else if (own.count(card["mode"].get<std::string>()) != 0)
                missed += " " + name + "@" + std::to_string(ci + 1) + "=" + dh::condition_key(c);
        }
    }
    std::printf("  over the four rod strings: %d of %d; missed:%s\n", right_all, all, missed.c_str());
    for (bool smooth : {false, true}) {
        std::vector<double> med_card, max_card, med_kept, max_kept, stroke, fo, fill, good, rev;
        for (const auto& [name, card] : plates["cards"].items()) {
            const Plate p = plate_stroke(name, card, 200);
            for (std::size_t ci = 0; ci < cases.size(); ++ci) {
                for (double nu : {0.0, tavo::well::default_damping_nu, 0.2}) {
                    const auto t = round_trip(p, cases[ci], nu, harmonics, smooth);
                    if (!t) {
                        std::printf("%-34s string %zu: cannot compute\n", name.c_str(), ci + 1);
                        continue;
                    }
                    med_card.push_back(t->vs_card.median_pct);
                    max_card.push_back(t->vs_card.max_pct);
                    med_kept.push_back(t->vs_kept.median_pct);
                    max_kept.push_back(t->vs_kept.max_pct);
                    stroke.push_back(std::fabs(t->stroke_pct));
                    fo.push_back(std::fabs(t->fo_pct));
                    fill.push_back(std::fabs(t->fillage_pts));
                    good.push_back(std::fabs(t->goodman_pts));
                    rev.push_back(t->reversed_diff_kN);
                    if (smooth) continue;
                    std::printf(
                        "%-34s %zu nu %.2f   %5.2f/%6.2f   %5.2f/%6.2f %8.2f %8.2f %8.1f %8.2f %9.1e\n",
                        name.c_str(), ci + 1, nu, t->vs_card.median_pct, t->vs_card.max_pct,
                        t->vs_kept.median_pct, t->vs_kept.max_pct, t->stroke_pct, t->fo_pct, t->fillage_pts,
                        t->goodman_pts, t->reversed_diff_kN);
                }
            }
        }
        auto worst = [](const std::vector<double>& v) {
            return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
        };
        std::printf("\nround trips (%zu), %s:\n", med_card.size(),
                    smooth ? "cards first kept to the solver's harmonics"
                           : "cards as drawn (all harmonics carried up)");
        std::printf(
            "  load shape: median of medians %.2f %%, worst median %.2f %%, median of maxima %.2f %%, worst "
            "max "
            "%.2f %%\n",
            median(med_card), worst(med_card), median(max_card), worst(max_card));
        std::printf(
            "  gross stroke median %.2f %%, worst %.2f %%; fluid load median %.2f %%, worst %.2f %%\n",
            median(stroke), worst(stroke), median(fo), worst(fo));
        std::printf(
            "  fillage median %.1f, worst %.1f points; Goodman (worst taper of each) median %.2f, worst %.2f "
            "points\n",
            median(fill), worst(fill), median(good), worst(good));
        std::printf("  the same surface card traced backwards: pump loads differ by at most %.1e kN\n",
                    worst(rev));
    }
    return 0;
}
