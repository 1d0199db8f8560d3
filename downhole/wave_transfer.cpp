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

namespace {

// h·j mod N for the next sample, kept without a product that could overflow.
std::size_t next_index(std::size_t k, std::size_t h, std::size_t n) {
    k += h;
    return k >= n ? k - n : k;
}

}  // namespace

std::vector<Complex> Fourier::analyse(const std::vector<double>& x) const {
    std::vector<Complex> c(static_cast<std::size_t>(m_) + 1);
    const auto h_max = static_cast<std::size_t>(m_);
    std::size_t h = 0;
    // Four harmonics at a time, each still summed over the samples in their
    // order: the four sums no longer wait on one another.
    for (; h + 3 <= h_max; h += 4) {
        double re0 = 0.0, im0 = 0.0, re1 = 0.0, im1 = 0.0, re2 = 0.0, im2 = 0.0, re3 = 0.0, im3 = 0.0;
        std::size_t k0 = 0, k1 = 0, k2 = 0, k3 = 0;
        for (std::size_t j = 0; j < n_; ++j) {
            const double v = x[j];
            re0 += v * cos_[k0];
            im0 -= v * sin_[k0];
            re1 += v * cos_[k1];
            im1 -= v * sin_[k1];
            re2 += v * cos_[k2];
            im2 -= v * sin_[k2];
            re3 += v * cos_[k3];
            im3 -= v * sin_[k3];
            k0 = next_index(k0, h, n_);
            k1 = next_index(k1, h + 1, n_);
            k2 = next_index(k2, h + 2, n_);
            k3 = next_index(k3, h + 3, n_);
        }
        const auto n = static_cast<double>(n_);
        c[h] = Complex(re0, im0) / n;
        c[h + 1] = Complex(re1, im1) / n;
        c[h + 2] = Complex(re2, im2) / n;
        c[h + 3] = Complex(re3, im3) / n;
    }
    for (; h <= h_max; ++h) {
        double re = 0.0, im = 0.0;
        std::size_t k = 0;
        for (std::size_t j = 0; j < n_; ++j) {
            re += x[j] * cos_[k];
            im -= x[j] * sin_[k];
            k = next_index(k, h, n_);
        }
        c[h] = Complex(re, im) / static_cast<double>(n_);
    }
    return c;
}

std::vector<double> Fourier::synthesise(const std::vector<Complex>& c) const {
    std::vector<double> x(n_, c[0].real());
    const auto h_max = static_cast<std::size_t>(std::min(m_, static_cast<int>(c.size()) - 1));
    std::size_t h = 1;
    // Four harmonics at a time; each sample still takes them in rising order.
    for (; h + 3 <= h_max; h += 4) {
        const double re0 = 2.0 * c[h].real(), im0 = 2.0 * c[h].imag();
        const double re1 = 2.0 * c[h + 1].real(), im1 = 2.0 * c[h + 1].imag();
        const double re2 = 2.0 * c[h + 2].real(), im2 = 2.0 * c[h + 2].imag();
        const double re3 = 2.0 * c[h + 3].real(), im3 = 2.0 * c[h + 3].imag();
        std::size_t k0 = 0, k1 = 0, k2 = 0, k3 = 0;
        for (std::size_t j = 0; j < n_; ++j) {
            double v = x[j];
            v += re0 * cos_[k0] - im0 * sin_[k0];
            v += re1 * cos_[k1] - im1 * sin_[k1];
            v += re2 * cos_[k2] - im2 * sin_[k2];
            v += re3 * cos_[k3] - im3 * sin_[k3];
            x[j] = v;
            k0 = next_index(k0, h, n_);
            k1 = next_index(k1, h + 1, n_);
            k2 = next_index(k2, h + 2, n_);
            k3 = next_index(k3, h + 3, n_);
        }
    }
    for (; h <= h_max; ++h) {
        const double re = 2.0 * c[h].real();
        const double im = 2.0 * c[h].imag();
        std::size_t k = 0;
        for (std::size_t j = 0; j < n_; ++j) {
            x[j] += re * cos_[k] - im * sin_[k];
            k = next_index(k, h, n_);
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
