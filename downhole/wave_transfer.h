// Gibbs' method for the damped wave equation of a tapered rod string
// (u_tt = a²·u_xx − c·u_t, x down, u up, tension T = −E·A·u_x): the motion
// and the load over one stroke as Fourier series; each harmonic is carried
// through a taper in closed form, so a string is one product of 2×2
// transfers per harmonic and the march is exact for the harmonics kept.
// The mean (harmonic 0) carries the buoyant weight and the static stretch.
#pragma once

#include <complex>
#include <cstddef>
#include <vector>

#include "downhole/rod_string.h"

namespace tavo::downhole {

using Complex = std::complex<double>;

// Harmonics 0..m of one stroke of samples: x_j = X_0 + 2·Re Σ X_n·e^{i·2π·n·j/N}.
class Fourier {
public:
    Fourier(std::size_t samples, int harmonics);
    std::size_t samples() const { return n_; }
    int harmonics() const { return m_; }
    std::vector<Complex> analyse(const std::vector<double>& x) const;
    // Up to the harmonics given or the ones this holds, whichever is fewer.
    std::vector<double> synthesise(const std::vector<Complex>& coeffs) const;

private:
    std::size_t n_;
    int m_;
    std::vector<double> cos_, sin_;  // of 2π·k/N
};

// The motion u (m, up) and tension T (N) at one depth, per harmonic.
struct RodState {
    std::vector<Complex> u, t;
};

// Through one taper, down (top to bottom) or up (bottom to top); omega is
// the stroke's angular frequency 2π/period.
void carry_down(const RodSection& s, double omega, RodState& state);
void carry_up(const RodSection& s, double omega, RodState& state);

}  // namespace tavo::downhole
