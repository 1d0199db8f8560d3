#include "analysis/card_calc.h"

#include <algorithm>

#include "common/fault.h"
#include "common/number_text.h"
#include "common/numbers.h"

namespace tavo {

namespace {

// ⌊x + 0.5⌋ of a 32-bit value, taken exactly, as a 16-bit word.
int16_t half_up_i16(float x) {
    return to_i16(floor_half_up(static_cast<double>(x)));
}

}  // namespace

void Calc_Sgt_Data(State& st) {
    const int n = st.Circle_Num;
    // Samples past the arrays cannot be read; their statements set nothing.
    const int nn = std::min(n, kArrayLen);
    auto& D = st.Pos_Dat;
    auto& L = st.Force_Dat;

    // Extremes of the cycle (0 when it has no samples).
    float maxD = 0.0f, minD = 0.0f, maxL = 0.0f, minL = 0.0f;
    if (nn >= 1) {
        maxD = minD = D[0];
        maxL = minL = L[0];
        for (int i = 1; i < nn; ++i) {
            const auto ii = static_cast<std::size_t>(i);
            if (D[ii] > maxD) maxD = D[ii];
            if (D[ii] < minD) minD = D[ii];
            if (L[ii] > maxL) maxL = L[ii];
            if (L[ii] < minL) minL = L[ii];
        }
    }

    // Normalisation: the load made non-negative, the displacement to start
    // at 0. The offset goes to every held sample, not only to
    // the cycle, so that the record keeps no step at index n.
    const int held = std::max(nn, kMaxSamples);
    if (minL < 0.0f) {
        for (int i = 0; i < held; ++i) L[static_cast<std::size_t>(i)] = L[static_cast<std::size_t>(i)] - minL;
        maxL = maxL - minL;
        minL = 0.0f;
    }
    if (minD > 0.0f) {
        for (int i = 0; i < held; ++i) D[static_cast<std::size_t>(i)] = D[static_cast<std::size_t>(i)] - minD;
        maxD = maxD - minD;
        minD = 0.0f;
    }

    // Work: the closed card's area, term by term in single precision.
    st.Sgt_Work = 0.0f;
    if (maxL > 3.0f) {
        float work = 0.0f;
        for (int i = 0; i < nn; ++i) {
            const auto ii = static_cast<std::size_t>(i);
            const auto jj = static_cast<std::size_t>((i + 1) % n);
            if (jj >= L.size()) continue;  // a sample past the arrays: the term is abandoned
            const float term = (L[jj] + L[ii]) / 2.0f * (D[jj] - D[ii]);
            work = work + term;
        }
        st.Sgt_Work = work;
    } else {
        maxL = 0.0f;
        minL = 0.0f;
    }

    // A stroke of 0.3 m or less counts as none.
    if (maxD <= 0.3f) maxD = 0.0f;

    // Scaled results; one that does not fit 16 bits keeps its value.
    stmt([&] { st.Sgt_MaxLoad = half_up_i16(maxL * 100.0f); });
    stmt([&] { st.Sgt_MinLoad = half_up_i16(minL * 100.0f); });
    stmt([&] { st.Sgt_Stroke = half_up_i16(maxD * 1000.0f); });

    // Period in recording ticks.
    stmt([&] { st.Sgt_Period = to_i16(leading_number(st.Rec_Spd) * static_cast<double>(n)); });

    // Polished-rod power, kW to 0.01.
    stmt([&] {
        const float x =
            checked(fdiv(checked(st.Sgt_Work * 50.0f), static_cast<float>(st.Sgt_Period)) * 100.0f);
        st.Sgt_Power = static_cast<float>(floor_half_up(static_cast<double>(x)) / 100.0);
    });

    // Result boxes: power, stroke and strokes per minute.
    st.Text3[Box::RodPower] = plain_form(st.Sgt_Power);
    st.Text3[Box::Stroke] = sign_form(static_cast<float>(st.Sgt_Stroke) / 1000.0f);
    stmt([&] {
        const float x = checked(fdiv(3000.0f, static_cast<float>(st.Sgt_Period)) * 100.0f);
        st.Text3[Box::StrokesPerMinute] =
            sign_form(static_cast<float>(floor_half_up(static_cast<double>(x)) / 100.0));
    });
}

}  // namespace tavo
