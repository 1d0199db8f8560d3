#include "analysis/fourier.h"

#include <cmath>

#include "common/fault.h"

namespace tavo {

namespace {
constexpr double kTwoPi = 6.28318530717958;
}

void Get_DFT(std::span<const float> x, int16_t n, std::span<float> A, std::span<float> B, int16_t K) {
    // Every step is stored in single precision, as the tester's software did.
    const float w = static_cast<float>(ddiv(kTwoPi, static_cast<double>(n)));
    const float cw = static_cast<float>(std::cos(static_cast<double>(w)));
    const float sw = static_cast<float>(std::sin(static_cast<double>(w)));
    const float h = fdiv(2.0f, static_cast<float>(n));
    if (K < 0) return;

    float c = 1.0f, s = 0.0f;
    for (int k = 0; k <= K; ++k) {
        float u1 = 0.0f, u2 = 0.0f;
        const float c2 = 2.0f * c;
        if (n - 1 >= 1) {
            // One bounds check for the whole recurrence instead of one per sample.
            (void)at(x, n - 1);
            for (int j = n - 1; j >= 1; --j) {
                const float u0 = (x[static_cast<std::size_t>(j)] + c2 * u1) - u2;
                u2 = u1;
                u1 = u0;
            }
        }
        at(A, k) = h * ((at(x, 0) + c * u1) - u2);
        at(B, k) = (h * u1) * s;
        const float cn = c * cw - s * sw;
        const float sn = c * sw + s * cw;
        c = cn;
        s = sn;
    }
}

void Put_DFT(std::span<float> pps1, int16_t tt_num, std::span<const float> pcos, std::span<const float> psin,
             int16_t dftt_num) {
    const float a = static_cast<float>(ddiv(kTwoPi, static_cast<double>(tt_num)));
    for (int i = 0; i < tt_num; ++i) {
        float& out = at(pps1, i);
        out = at(pcos, 0) / 2.0f;
        for (int j = 1; j <= dftt_num - 1; ++j) {
            const float angle = (a * static_cast<float>(j)) * static_cast<float>(i);
            const double ang = static_cast<double>(angle);
            const double v = (static_cast<double>(at(pcos, j)) * std::cos(ang) + static_cast<double>(out)) +
                             static_cast<double>(at(psin, j)) * std::sin(ang);
            out = static_cast<float>(v);
        }
    }
}

}  // namespace tavo
