#include "condition/own_samples.h"

#include <algorithm>

namespace tavo::condition {

int own_sample_count(const State& st) {
    int n = std::min<int>(st.head.Point_Num, kMaxSamples);
    if (st.last_load.kind == Problem::Kind::ShortSamples)
        n = std::min(n, static_cast<int>(st.last_load.records_read));
    return std::max(n, 0);
}

double sample_seconds(const State& st) {
    return 0.02 * std::max<int>(st.head.Rec_Speed, 1);
}

}  // namespace tavo::condition
