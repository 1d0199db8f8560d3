#include "downhole/travel_direction.h"

namespace tavo::downhole {

double loop_work(const std::vector<double>& x, const std::vector<double>& f) {
    const std::size_t n = x.size();
    double w = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        w += 0.5 * (f[i] + f[j]) * (x[j] - x[i]);
    }
    return w;
}

std::vector<double> in_time_order(const std::vector<double>& in, const TimeOrder& order) {
    const std::size_t n = in.size();
    std::vector<double> out(n);
    for (std::size_t k = 0; k < n; ++k)
        out[k] = order.reversed ? in[(order.first + n - k) % n] : in[(order.first + k) % n];
    return out;
}

TimeOrder time_order(const std::vector<double>& x, const std::vector<double>& f) {
    TimeOrder o;
    const std::size_t n = x.size();
    if (n == 0) return o;
    o.reversed = loop_work(x, f) < 0.0;
    // Forward in time from input sample 0, the end of the run of lowest
    // samples: the start of the rise, whichever way the input ran.
    auto at = [&](std::size_t k) { return o.reversed ? (n - k % n) % n : k % n; };
    double lowest = x[0];
    for (double v : x) lowest = v < lowest ? v : lowest;
    std::size_t best = 0;
    for (std::size_t k = 0; k < n; ++k) {
        if (x[at(k)] == lowest && x[at(k + 1)] != lowest) {
            best = k;
            break;
        }
        if (x[at(k)] == lowest) best = k;  // all equal: any
    }
    o.first = at(best);
    return o;
}

}  // namespace tavo::downhole
