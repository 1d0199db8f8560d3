// A pump card computed independently of downhole/, to score it against:
// Everitt & Jennings' explicit finite differences (SPE 18189, 1992) for the
// damped wave equation of a tapered rod string, marched down the string
// from the surface position and load.
//
//   m·u_tt = E·A·u_xx − m·c·u_t − w_b   (x down, u up, tension T = −E·A·u_x)
//
// m the mass per metre (weight in air with couplings), w_b the buoyant
// weight per metre, c = π·a·ν/(2·L) with each taper's own a and L the whole
// string (Gibbs' rule, the same damping as the product's). The stroke is
// periodic, so the time differences wrap round. Central differences in
// time; in depth the march
//   u[i+1] = 2·u[i] − u[i−1] + Δx²·u_xx[i],  u_xx = (u_tt + c·u_t + w_b/m)/a²,
// which is neutral (exact for an undamped wave) at Δx = a·Δt and stable
// below it: each taper takes the fewest equal steps with Δx ≤ a·Δt. A
// taper's first step and the load at its foot are Taylor expansions of
// second order with u_xx from the equation, so a joint passes on u and T.
// Only data of the well record is shared with the product; the Fourier
// interpolation of the input (to refine Δt, and to keep a chosen number of
// harmonics) is written here too.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <optional>
#include <vector>

#include "well/rod_table.h"
#include "well/well_record.h"

namespace tavo::fdref {

struct Taper {
    double length_m = 0.0;
    double ea_N = 0.0;
    double mass_kg_per_m = 0.0;
    double buoyant_N_per_m = 0.0;
    double damping_per_s = 0.0;
    double area_mm2 = 0.0;
    double sound_m_s() const { return std::sqrt(ea_N / mass_kg_per_m); }
};

// The tapers of a record; empty when a weight is not known.
inline std::vector<Taper> tapers_of(const well::WellRecord& w, double nu) {
    const double wc = w.fluid.water_cut_pct / 100.0;
    const double rho = wc * w.fluid.water_kg_m3 + (1.0 - wc) * w.fluid.oil_kg_m3;
    double total = 0.0;
    for (const auto& t : w.rods) total += t.length_m;
    std::vector<Taper> out;
    for (const auto& t : w.rods) {
        const std::optional<double> kg = well::weight_kg_per_m(t);
        if (!kg) return {};
        Taper s;
        s.length_m = t.length_m;
        const double area = std::numbers::pi * t.diameter_mm * t.diameter_mm / 4.0 * 1e-6;
        s.area_mm2 = area * 1e6;
        s.ea_N = t.modulus_GPa * 1e9 * area;
        s.mass_kg_per_m = *kg;
        s.buoyant_N_per_m = (*kg - rho * area) * 9.80665;
        s.damping_per_s = std::numbers::pi * s.sound_m_s() * nu / (2.0 * total);
        out.push_back(s);
    }
    return out;
}

// x over one period resampled to `m` samples keeping harmonics 0..h (a
// trigonometric interpolation; h at most half the samples of x).
inline std::vector<double> fourier_resample(const std::vector<double>& x, std::size_t m, int h) {
    const std::size_t n = x.size();
    const int most = static_cast<int>((n - 1) / 2);
    h = std::min(h, most);
    std::vector<double> out(m, 0.0);
    for (int k = 0; k <= h; ++k) {
        double re = 0.0, im = 0.0;
        for (std::size_t j = 0; j < n; ++j) {
            const double ph = 2.0 * std::numbers::pi * k * static_cast<double>(j) / static_cast<double>(n);
            re += x[j] * std::cos(ph);
            im -= x[j] * std::sin(ph);
        }
        re /= static_cast<double>(n);
        im /= static_cast<double>(n);
        const double f = k == 0 ? 1.0 : 2.0;
        for (std::size_t j = 0; j < m; ++j) {
            const double ph = 2.0 * std::numbers::pi * k * static_cast<double>(j) / static_cast<double>(m);
            out[j] += f * (re * std::cos(ph) - im * std::sin(ph));
        }
    }
    return out;
}

struct Result {
    bool ok = false;
    std::vector<double> pump_position_m, pump_load_kN;   // same samples as the input
    std::vector<std::vector<double>> taper_top_load_kN;  // from the top; the first is the input's
    int depth_steps = 0;
};

// The pump card of one stroke (time order, equal steps, open loop). The
// input is kept to `harmonics` (all that the samples hold when larger) and
// the time step refined `refine` times.
inline Result march(const std::vector<Taper>& rods, const std::vector<double>& position_m,
                    const std::vector<double>& load_kN, double period_s, int harmonics, int refine) {
    Result r;
    const std::size_t n = position_m.size();
    if (rods.empty() || n < 8 || load_kN.size() != n || refine < 1) return r;
    const std::size_t m = n * static_cast<std::size_t>(refine);
    const double dt = period_s / static_cast<double>(m);
    std::vector<double> u_prev, u = fourier_resample(position_m, m, harmonics);
    std::vector<double> t = fourier_resample(load_kN, m, harmonics);
    for (double& x : t) x *= 1000.0;
    r.taper_top_load_kN.push_back(load_kN);

    // u_xx at a node from its motion over the stroke.
    auto uxx = [&](const std::vector<double>& v, const Taper& s, std::vector<double>& out) {
        const double a2 = s.ea_N / s.mass_kg_per_m;
        const double g = s.buoyant_N_per_m / s.mass_kg_per_m;
        out.resize(m);
        for (std::size_t j = 0; j < m; ++j) {
            const double next = v[(j + 1) % m], prev = v[(j + m - 1) % m];
            const double utt = (next - 2.0 * v[j] + prev) / (dt * dt);
            const double ut = (next - prev) / (2.0 * dt);
            out[j] = (utt + s.damping_per_s * ut + g) / a2;
        }
    };
    std::vector<double> d2, u_next(m);
    for (std::size_t k = 0; k < rods.size(); ++k) {
        const Taper& s = rods[k];
        const int steps = std::max(1, static_cast<int>(std::ceil(s.length_m / (s.sound_m_s() * dt))));
        const double dx = s.length_m / steps;
        r.depth_steps += steps;
        // First step from the top: u_x = −T/EA.
        uxx(u, s, d2);
        u_prev = u;
        for (std::size_t j = 0; j < m; ++j) u[j] = u_prev[j] - dx * t[j] / s.ea_N + dx * dx / 2.0 * d2[j];
        for (int i = 1; i < steps; ++i) {
            uxx(u, s, d2);
            for (std::size_t j = 0; j < m; ++j) u_next[j] = 2.0 * u[j] - u_prev[j] + dx * dx * d2[j];
            u_prev.swap(u);
            u.swap(u_next);
        }
        // The load at the foot: u_x from the last step and the curvature.
        uxx(u, s, d2);
        for (std::size_t j = 0; j < m; ++j) t[j] = -s.ea_N * ((u[j] - u_prev[j]) / dx + dx / 2.0 * d2[j]);
        if (k + 1 < rods.size()) {
            std::vector<double> top(n);
            for (std::size_t j = 0; j < n; ++j) top[j] = t[j * static_cast<std::size_t>(refine)] / 1000.0;
            r.taper_top_load_kN.push_back(std::move(top));
        }
    }
    for (std::size_t j = 0; j < n; ++j) {
        const std::size_t i = j * static_cast<std::size_t>(refine);
        r.pump_position_m.push_back(u[i]);
        // The march carries the buoyant weight, so this is the load at the
        // pump with the whole string's buoyant weight removed.
        r.pump_load_kN.push_back(t[i] / 1000.0);
    }
    const double lowest = *std::min_element(r.pump_position_m.begin(), r.pump_position_m.end());
    for (double& x : r.pump_position_m) x -= lowest;
    r.ok =
        std::all_of(r.pump_load_kN.begin(), r.pump_load_kN.end(), [](double x) { return std::isfinite(x); });
    return r;
}

}  // namespace tavo::fdref
