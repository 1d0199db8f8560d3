#include "downhole/wave_transfer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavo::downhole {

Fourier::Fourier(std::size_t samples, int harmonics)
    : n_(samples), m_(harmonics), cos_(samples), sin_(samples) {
    for (std::size_t k = 0; k < n_; ++k) {
        const double phase = 2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n_);
        cos_[k] = std::cos(phase);
        sin_[k] = std::sin(phase);
    }
}

std::vector<Complex> Fourier::analyse(const std::vector<double>& x) const {
    std::vector<Complex> c(static_cast<std::size_t>(m_) + 1);
    for (int h = 0; h <= m_; ++h) {
        double re = 0.0, im = 0.0;
        std::size_t k = 0;  // h·j mod N, kept without a product that could overflow
        for (std::size_t j = 0; j < n_; ++j) {
            re += x[j] * cos_[k];
            im -= x[j] * sin_[k];
            k += static_cast<std::size_t>(h);
            if (k >= n_) k -= n_;
        }
        c[static_cast<std::size_t>(h)] = Complex(re, im) / static_cast<double>(n_);
    }
    return c;
}

std::vector<double> Fourier::synthesise(const std::vector<Complex>& c) const {
    std::vector<double> x(n_, c[0].real());
    const int m = std::min(m_, static_cast<int>(c.size()) - 1);
    for (int h = 1; h <= m; ++h) {
        const double re = 2.0 * c[static_cast<std::size_t>(h)].real();
        const double im = 2.0 * c[static_cast<std::size_t>(h)].imag();
        std::size_t k = 0;
        for (std::size_t j = 0; j < n_; ++j) {
            x[j] += re * cos_[k] - im * sin_[k];
            k += static_cast<std::size_t>(h);
            if (k >= n_) k -= n_;
        }
    }
    return x;
}

namespace {

// Wave number of harmonic h: k² = (ω² − i·ω·c) / a².
Complex wave_number(const RodSection& s, double w) {
    return std::sqrt(Complex(w * w, -w * s.damping_per_s)) / s.sound_m_s;
}

}  // namespace

void carry_down(const RodSection& s, double omega, RodState& st) {
    const double L = s.length_m;
    // Mean: the tension falls by the buoyant weight, the stretch follows it.
    const double t0 = st.t[0].real();
    st.u[0] -= (t0 * L - s.buoyant_N_per_m * L * L / 2.0) / s.ea_N;
    st.t[0] -= s.buoyant_N_per_m * L;
    for (std::size_t h = 1; h < st.u.size(); ++h) {
        const Complex k = wave_number(s, omega * static_cast<double>(h));
        const Complex c = std::cos(k * L), sn = std::sin(k * L);
        const Complex eak = s.ea_N * k;
        const Complex u = st.u[h], t = st.t[h];
        st.u[h] = u * c - t / eak * sn;
        st.t[h] = eak * u * sn + t * c;
    }
}

void carry_up(const RodSection& s, double omega, RodState& st) {
    const double L = s.length_m;
    st.t[0] += s.buoyant_N_per_m * L;
    const double t0 = st.t[0].real();
    st.u[0] += (t0 * L - s.buoyant_N_per_m * L * L / 2.0) / s.ea_N;
    for (std::size_t h = 1; h < st.u.size(); ++h) {
        const Complex k = wave_number(s, omega * static_cast<double>(h));
        const Complex c = std::cos(k * L), sn = std::sin(k * L);
        const Complex eak = s.ea_N * k;
        const Complex u = st.u[h], t = st.t[h];
        st.u[h] = u * c + t / eak * sn;
        st.t[h] = -eak * u * sn + t * c;
    }
}

}  // namespace tavo::downhole
