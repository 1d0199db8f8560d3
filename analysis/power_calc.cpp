#include "analysis/power_calc.h"

#include <algorithm>
#include <cmath>

#include "common/fault.h"
#include "common/number_text.h"
#include "common/numbers.h"
#include "common/text.h"

namespace tavo {

namespace {

// Quadrant of the P-Q plane; zero counts as positive and Q is tested first.
int quadrant(float Q, float P) {
    if (Q >= 0.0f) return P >= 0.0f ? 1 : 2;
    return P < 0.0f ? 3 : 4;
}

// Largest current over samples first..last, from 0; then R1.
double max_current(const State& st, int first, int last) {
    double held = 0.0;
    for (int i = first; i <= last; ++i)
        if (static_cast<double>(st.Cur_Dat[static_cast<std::size_t>(i)]) > held)
            held = st.Cur_Dat[static_cast<std::size_t>(i)];
    return R1(held);
}

}  // namespace

void Calc_Power_Data(State& st) {
    const int n = st.Pow_Circle_Num;
    // Statements reading samples past the arrays are abandoned and add nothing.
    const int nn = std::min(n, kArrayLen);

    // Fresh tables.
    for (QuadTable* t : {&st.Quad_Num, &st.Quad_Cur, &st.Quad_Pow, &st.Quad_Var, &st.Quad_VA, &st.Quad_PF})
        t->fill(0.0f);

    // Quadrant sums.
    for (int i = 0; i < nn; ++i) {
        const auto ii = static_cast<std::size_t>(i);
        const auto q = static_cast<std::size_t>(quadrant(st.Var_Dat[ii], st.Pow_Dat[ii]));
        st.Quad_Num[q] = st.Quad_Num[q] + 1.0f;
        st.Quad_Cur[q] = st.Quad_Cur[q] + st.Cur_Dat[ii];
        st.Quad_Pow[q] = st.Quad_Pow[q] + st.Pow_Dat[ii];
        st.Quad_Var[q] = st.Quad_Var[q] + st.Var_Dat[ii];
        st.Quad_VA[q] = st.Quad_VA[q] + st.VA_Dat[ii];
    }

    // Totals and quadrant power factors (ratio of the sums).
    for (std::size_t q = 1; q <= 4; ++q) {
        st.Quad_Num[5] = st.Quad_Num[5] + st.Quad_Num[q];
        st.Quad_Cur[5] = st.Quad_Cur[5] + st.Quad_Cur[q];
        st.Quad_Pow[5] = st.Quad_Pow[5] + st.Quad_Pow[q];
        st.Quad_Var[5] = st.Quad_Var[5] + st.Quad_Var[q];
        st.Quad_VA[5] = st.Quad_VA[5] + st.Quad_VA[q];
        if (st.Quad_VA[q] > 0.0f)
            stmt([&] { st.Quad_PF[q] = static_cast<float>(R3(fdiv(st.Quad_Pow[q], st.Quad_VA[q]))); });
    }

    // Means.
    for (std::size_t q = 1; q <= 5; ++q) {
        if (st.Quad_Num[q] > 0.0f) {
            for (QuadTable* t : {&st.Quad_Cur, &st.Quad_Pow, &st.Quad_Var, &st.Quad_VA})
                stmt([&] { (*t)[q] = static_cast<float>(R2(fdiv((*t)[q], st.Quad_Num[q]))); });
        }
    }

    // Cycle power factor: each quadrant's factor weighted by its share.
    for (std::size_t q = 1; q <= 4; ++q) {
        // An empty quadrant (or no apparent power) fails the division and
        // adds nothing.
        const auto pf = try_fdiv(st.Quad_Pow[q], st.Quad_VA[q]);
        if (const auto share = pf ? try_fdiv(*pf * st.Quad_Num[q], st.Quad_Num[5]) : std::nullopt)
            st.Quad_PF[5] = static_cast<float>(static_cast<double>(st.Quad_PF[5]) + std::fabs(R3(*share)));
    }

    // Stroke halves: 0 .. h1 and h2 .. n-1.
    const int h1 = to_i16(static_cast<float>(n) / 2.0f - 1.0f);
    const int h2 = to_i16(static_cast<float>(n) / 2.0f);
    const int up_last = std::min(h1, kArrayLen - 1);
    const int down_last = std::min(n - 1, kArrayLen - 1);

    // Maximum currents.
    st.Max_Up_Cur = st.Max_Down_Cur = st.Avg_Up_Pow = st.Avg_Down_Pow = 0.0;
    st.Max_Up_Cur = max_current(st, 0, up_last);
    st.Max_Down_Cur = max_current(st, h2, down_last);

    // Mean active power of each half.
    {
        float sum = 0.0f;
        int16_t visited = 0;
        for (int i = 0; i <= up_last; ++i) {
            sum = sum + st.Pow_Dat[static_cast<std::size_t>(i)];
            ++visited;
        }
        stmt([&] { st.Avg_Up_Pow = R1(fdiv(sum, static_cast<float>(visited))); });
    }
    {
        float sum = 0.0f;
        int16_t visited = 0;
        for (int i = std::max(h2, 0); i <= down_last; ++i) {
            sum = sum + st.Pow_Dat[static_cast<std::size_t>(i)];
            ++visited;
        }
        stmt([&] { st.Avg_Down_Pow = R1(fdiv(sum, static_cast<float>(visited))); });
    }

    // Voltage, current² and P² sums.
    float vsum = 0.0f, i2sum = 0.0f, p2sum = 0.0f;
    for (int i = 0; i < nn; ++i) {
        const auto ii = static_cast<std::size_t>(i);
        vsum = vsum + st.Vol_Dat[ii];
        i2sum = i2sum + st.Cur_Dat[ii] * st.Cur_Dat[ii];
        p2sum = p2sum + st.Pow_Dat[ii] * st.Pow_Dat[ii];
    }

    // Result boxes; a box whose value fails keeps its text.
    const float fn = static_cast<float>(n);
    st.Text3[Box::InputPower] = plain_form(R1(st.Quad_Pow[5]));
    st.Text3[Box::UpDownPower] = MyTrim(sign_form(st.Avg_Up_Pow)) + "/" + MyTrim(sign_form(st.Avg_Down_Pow));
    st.Text3[Box::UpDownCurrent] =
        MyTrim(sign_form(st.Max_Up_Cur)) + "/" + MyTrim(sign_form(st.Max_Down_Cur));
    stmt([&] { st.Text3[Box::MeanVoltage] = plain_form(R1(fdiv(vsum, fn))); });
    st.Text3[Box::MeanCurrent] = plain_form(R2(st.Quad_Cur[5]));
    st.Text3[Box::ApparentPower] = plain_form(R2(st.Quad_VA[5]));
    st.Text3[Box::ReactivePower] = plain_form(R2(st.Quad_Var[5]));
    st.Text3[Box::PowerFactor] = plain_form(R2(st.Quad_PF[5]));
    stmt([&] { st.Text3[Box::RmsCurrent] = plain_form(R2(fsqrt(fdiv(i2sum, fn)))); });
    stmt([&] { st.Text3[Box::RmsPower] = plain_form(R2(fsqrt(fdiv(p2sum, fn)))); });

    // The test mode of the record just calculated.
    st.Pow_Mode = st.head.Test_Mode;
}

}  // namespace tavo
