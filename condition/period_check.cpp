#include "condition/period_check.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "condition/fine_period.h"
#include "condition/fixed_text.h"
#include "condition/own_samples.h"
#include "condition/repetition.h"

namespace tavo::condition {

namespace {

constexpr double kMinStroke = 0.3;       // m of rod travel: the rod moves
constexpr double kShortestStroke = 3.0;  // s: 20 strokes per minute
constexpr double kLongestStroke = 60.0;  // s: 1 stroke per minute
constexpr double kReach = 0.65;          // longest lag as a share of the record
constexpr double kDisplacementClarity = 0.5;
constexpr double kFlatPower = 1e-3;  // kW: a power curve that does not vary
constexpr double kFewStrokes = 4.0;  // a record of fewer strokes is matched window by window

std::vector<double> own(const SampleArray& a, int n) {
    return std::vector<double>(a.begin(), a.begin() + n);
}

// Whether x matches itself one period later (correlation at least 0.5).
bool repeats_at(const std::vector<double>& x, double period) {
    const int lag = static_cast<int>(std::lround(period));
    const std::vector<double> r = lag_correlation(detrended(x), lag, lag);
    return !r.empty() && r.front() >= 0.5;
}

double spread(const std::vector<double>& v) {
    if (v.empty()) return 0.0;
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    return *hi - *lo;
}

// Strokes per minute as the card view shows them for a cycle of n samples.
double spm_of(double n, double seconds_per_sample) {
    return 60.0 / (n * seconds_per_sample);
}

std::string spm_text(double n, double sps) {
    return stroke_rate_text(spm_of(n, sps));
}

}  // namespace

std::string stroke_rate_text(double spm) {
    return fixed_text(spm, 2) + " 次/min";
}

std::optional<double> PeriodCheck::verified_rounded() const {
    if (!verified()) return std::nullopt;
    return std::round(period * 10.0) / 10.0;
}

std::optional<bool> PeriodCheck::agrees() const {
    if (!verified()) return std::nullopt;
    // The unrounded estimate: the one decimal reported is for reading.
    return std::abs(detected - (period + 1.0)) <= std::max(3.0, 0.005 * period);
}

bool PeriodCheck::detection_failed() const {
    return origin == State::CycleOrigin::Detected &&
           (detected >= kMaxSamples || detected <= 0 || (samples > 0 && detected >= samples));
}

int PeriodCheck::cycle_length() const {
    return static_cast<int>(std::lround(period)) + 1;
}

const char* source_name(PeriodSource s) {
    switch (s) {
        case PeriodSource::Displacement:
            return "displacement";
        case PeriodSource::Power:
            return "power";
        default:
            return "";
    }
}

PeriodCheck check_period(const State& st) {
    PeriodCheck c;
    c.detected = st.Circle_Num;
    c.origin = st.cycle_origin;
    c.first_detected = st.detected_cycle;
    c.samples = own_sample_count(st);
    c.seconds_per_sample = sample_seconds(st);
    const int n = c.samples;
    const int lo = std::max(4, static_cast<int>(std::ceil(kShortestStroke / c.seconds_per_sample)));
    const int hi =
        std::min(static_cast<int>(kReach * n), static_cast<int>(kLongestStroke / c.seconds_per_sample));

    if (hi - lo >= 8) {
        const std::vector<double> pos = own(st.Pos_Dat, n);
        const bool rod_moves = spread(pos) >= kMinStroke;
        if (rod_moves) {
            const Repetition r = find_repetition(pos, lo, hi);
            if (r.period > 0.0 && r.clarity >= kDisplacementClarity) {
                c.period = r.period;
                c.clarity = r.clarity;
                c.source = PeriodSource::Displacement;
            }
        }
        if (!c.verified()) {
            const std::vector<double> pow = own(st.Pow_Dat, n);
            if (spread(pow) > kFlatPower) {
                Repetition r = find_repetition(pow, lo, hi);
                // The power's humps are broad and each stroke draws a little
                // more or less than the last. Over many strokes the
                // correlation averages that out; over a few it can leave the
                // period a few samples off.
                if (r.period > 0.0 && n < kFewStrokes * r.period) r.period = fine_period(pow, r.period);
                // Where the rod moves, a stroke must repeat on it too: a
                // power period it does not share is half a stroke too long
                // for the record, or no stroke at all.
                if (r.period > 0.0 && (!rod_moves || repeats_at(pos, r.period))) {
                    c.period = r.period;
                    c.clarity = r.clarity;
                    c.source = PeriodSource::Power;
                }
            }
        }
    }

    const double sps = c.seconds_per_sample;
    // The cycle in use, by where it came from.
    const std::string used =
        c.origin == State::CycleOrigin::Manual     ? "手动周期 " + std::to_string(c.detected) + " 点"
        : c.origin == State::CycleOrigin::Verified ? "重算所用周期 " + std::to_string(c.detected) + " 点"
        : c.detection_failed()                     ? "检测失败（未找到冲程周期）"
                                                   : "检测周期 " + std::to_string(c.detected) + " 点";
    if (!c.verified()) {
        if (hi - lo < 8)
            c.note = "记录只有 " + std::to_string(n) + " 个采样点（每点 " + fixed_text(sps, 2) +
                     " 秒），容不下两个冲程，无法校验冲程周期";
        else
            c.note = "位移和有功功率都没有可辨认的周期，无法校验冲程周期（" + used + "）";
        return c;
    }
    const std::string v = fixed_text(*c.verified_rounded(), 1);
    const std::string from = c.source == PeriodSource::Displacement ? "位移" : "有功功率";
    if (c.origin == State::CycleOrigin::Verified) {
        // After the recompute: what was done, and on what.
        c.note = "结果已按校验周期重新计算：周期 " + std::to_string(c.detected) + " 点（原检测 " +
                 std::to_string(c.first_detected) + " 点），校验周期 " + v + " 点（据" + from + "）；冲次 " +
                 spm_text(c.period, sps);
    } else if (c.origin == State::CycleOrigin::Manual) {
        // A typed cycle is the user's choice, not an error of the detection.
        c.note = *c.agrees()
                     ? used + "与校验周期 " + v + " 点（据" + from + "）相符；冲次 " + spm_text(c.period, sps)
                     : used + "不同于校验周期 " + v + " 点（据" + from + "）：按手动周期冲次为 " +
                           spm_text(c.detected, sps) + "，按校验周期为 " + spm_text(c.period, sps) +
                           "（程序检测周期 " + std::to_string(c.first_detected) + " 点）";
    } else if (*c.agrees()) {
        c.note = "检测周期 " + std::to_string(c.detected) + " 点与校验周期 " + v + " 点（据" + from +
                 "）相符；冲次 " + spm_text(c.period, sps);
    } else if (c.detection_failed()) {
        c.note = "检测失败，未找到冲程周期（周期框中的 " + std::to_string(c.detected) +
                 " 点只是失败的标记，参数表的冲次不可信）；校验周期 " + v + " 点（据" + from +
                 "）；冲次应为 " + spm_text(c.period, sps);
    } else {
        const bool shorter = c.detected < c.period + 1.0;
        c.note = "检测周期 " + std::to_string(c.detected) + " 点可能偏" + (shorter ? "短" : "长") +
                 "，校验周期 " + v + " 点（据" + from + "）；冲次应为 " + spm_text(c.period, sps) + " 而非 " +
                 spm_text(c.detected, sps);
    }
    return c;
}

}  // namespace tavo::condition
