#include "analysis/decode_wave.h"

#include <vector>

#include "common/fault.h"
#include "common/numbers.h"

namespace tavo {

namespace {
constexpr int kWindow = 20;
}

void Decode_Wave(std::span<const float> data, int16_t& myData_Num, std::span<float> Data2,
                 std::vector<float>& work) {
    const int n_in = myData_Num;
    // Working curve t[0..N]; a negative N leaves it without elements, so every
    // statement that touches it is abandoned.
    std::vector<float>& t = work;
    t.assign(n_in >= 0 ? static_cast<std::size_t>(n_in) + 1 : 0, 0.0f);
    float sum = 0.0f;
    int16_t divisor = 0;

    for (int k = 0; k < kWindow; ++k) {
        stmt([&] { sum = sum + at(data, k); });
        ++divisor;
        stmt([&] { at(t, k) = fdiv(sum, static_cast<float>(divisor)); });
    }
    // The running sum drifts: the leaving sample is subtracted and the
    // entering one added, never re-summed.
    for (int k = kWindow; k <= n_in - 1; ++k) {
        stmt([&] { sum = (sum - at(data, k - kWindow)) + at(data, k); });
        stmt([&] { at(t, k) = fdiv(sum, static_cast<float>(divisor)); });
    }

    stmt([&] { myData_Num = fit_i16(static_cast<long>(myData_Num) - kWindow); });
    const int n_out = myData_Num;
    for (int k = 0; k <= n_out - 1; ++k) {
        stmt([&] { at(Data2, k) = at(t, k + kWindow); });
    }
}

}  // namespace tavo
