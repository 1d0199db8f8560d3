#include "common/numbers.h"

#include <cfenv>
#include <cmath>

#include "common/fault.h"

namespace tavo {

double round_half_even(double x) {
    // nearbyint follows the current rounding mode, which is never changed
    // here: round to nearest, ties to even.
    return std::nearbyint(x);
}

double floor_down(double x) {
    return std::floor(x);
}
double floor_half_up(double x) {
    return std::floor(x + 0.5);
}

int16_t to_i16(double x) {
    if (std::isnan(x)) raise_fault(FaultKind::Overflow, "not a number");
    const double r = round_half_even(x);
    if (r < -32768.0 || r > 32767.0) raise_fault(FaultKind::Overflow, "value does not fit 16 bits");
    return static_cast<int16_t>(r);
}

int16_t fit_i16(long x) {
    if (x < -32768 || x > 32767) raise_fault(FaultKind::Overflow, "value does not fit 16 bits");
    return static_cast<int16_t>(x);
}

int16_t to_i16_saturated(double x) {
    if (std::isnan(x)) return 0;
    const double r = round_half_even(x);
    if (r < -32768.0) return -32768;
    if (r > 32767.0) return 32767;
    return static_cast<int16_t>(r);
}

int16_t voltage_word(float scaled) {
    if (std::isnan(scaled)) return 0;
    double r = round_half_even(static_cast<double>(scaled));
    if (r < 0.0) r = 0.0;
    if (r > 65535.0) r = 65535.0;
    if (r > 32767.0) r -= 65536.0;
    return static_cast<int16_t>(r);
}

double R1(double x) {
    return std::floor(10.0 * x + 0.5) / 10.0;
}
double R2(double x) {
    return std::floor(100.0 * x + 0.5) / 100.0;
}
double R3(double x) {
    return std::floor(1000.0 * x + 0.5) / 1000.0;
}

}  // namespace tavo
