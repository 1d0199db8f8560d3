#include "condition/card_stroke.h"

#include <algorithm>
#include <cmath>

namespace tavo::condition {

CardStroke card_stroke(std::vector<double> pos, std::vector<double> load) {
    CardStroke c;
    const std::size_t n = std::min(pos.size(), load.size());
    pos.resize(n);
    load.resize(n);
    // A value that is no number cannot be drawn or measured: no card.
    const auto finite = [](double x) { return std::isfinite(x); };
    if (n == 0 || !std::all_of(pos.begin(), pos.end(), finite) ||
        !std::all_of(load.begin(), load.end(), finite))
        return c;
    const auto [dmin, dmax] = std::minmax_element(pos.begin(), pos.end());
    const auto [lmin, lmax] = std::minmax_element(load.begin(), load.end());
    // The card results raise a negative minimum load to 0 and lower a
    // positive minimum position to 0; the limits apply after that.
    c.stroke_m = static_cast<float>(*dmin > 0.0 ? *dmax - *dmin : *dmax);
    c.max_load_kn = static_cast<float>(*lmin < 0.0 ? *lmax - *lmin : *lmax);
    c.pos = std::move(pos);
    c.load = std::move(load);
    return c;
}

CardStroke card_stroke(const State& st, int cycle) {
    if (cycle <= 0) cycle = st.Circle_Num;
    // A state no file was read into (a test's made-up one) holds what its header says.
    const bool nothing_read = !st.last_load && st.last_load.records_read == 0;
    int held = nothing_read ? st.head.Point_Num : static_cast<int>(st.last_load.records_read);
    held = std::clamp(held, 0, kMaxSamples);
    const int n = std::clamp(cycle, 0, held);
    std::vector<double> pos(static_cast<std::size_t>(n)), load(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        pos[static_cast<std::size_t>(i)] = st.Pos_Dat[static_cast<std::size_t>(i)];
        load[static_cast<std::size_t>(i)] = st.Force_Dat[static_cast<std::size_t>(i)];
    }
    return card_stroke(std::move(pos), std::move(load));
}

}  // namespace tavo::condition
