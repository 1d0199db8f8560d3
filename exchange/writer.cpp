// Writing the test on display as one block of the exchange text.
#include <array>

#include "analysis/fourier.h"
#include "common/fault.h"
#include "common/file_io.h"
#include "common/number_text.h"
#include "common/text.h"
#include "exchange/exchange.h"

namespace tavo {
namespace {

constexpr int16_t kPoints = 144;
constexpr const char* kEnd = "\r\n";

// One stroke of n samples analysed up to harmonic 71 and synthesised at 144
// points from the mean and harmonics 1..70.
std::array<float, kPoints> to_144(const SampleArray& x, int16_t n) {
    std::array<float, 72> A{}, B{};
    Get_DFT(x, n, A, B, 71);
    std::array<float, kPoints> out{};
    Put_DFT(out, kPoints, A, B, 71);
    return out;
}

std::string curve_line(const SampleArray& x, int16_t n, int16_t width, int16_t decimals) {
    const std::array<float, kPoints> points = to_144(x, n);
    std::string line;
    line.reserve(static_cast<std::size_t>(kPoints * width) + 2);
    for (float v : points) line += MyStr(v, width, decimals);
    return line + kEnd;
}

bool blank(std::string_view s) {
    return s.find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace

std::string exchange_block(const State& st) {
    // A stroke outside the arrays cannot be resampled.
    if (st.Circle_Num < 1 || st.Circle_Num > kArrayLen)
        raise_fault(FaultKind::IndexOutOfRange, "index outside the array");
    const int16_t n = st.Circle_Num;
    std::string b;
    b += "[wellname]";
    b += kEnd;
    b += utf8_to_gbk(st.Txt_WellName) + kEnd;
    b += "[testdate]";
    b += kEnd;
    b += utf8_to_gbk(exchange_date_line(st.Txt_TestTime)) + kEnd;
    b += "[count]";
    b += kEnd;
    b += "144";
    b += kEnd;
    b += "[gtsj]";
    b += kEnd;
    // Stroke and rate as the result boxes show them.
    b += utf8_to_gbk(st.Text3[Box::Stroke]) + kEnd;
    b += utf8_to_gbk(st.Text3[Box::StrokesPerMinute]) + kEnd;
    b += curve_line(st.Force_Dat, n, 5, 1);
    b += curve_line(st.Pos_Dat, n, 4, 2);
    b += "[glsj]";
    b += kEnd;
    b += curve_line(st.Cur_Dat, n, 5, 1);
    b += curve_line(st.Vol_Dat, n, 4, 0);
    b += curve_line(st.Pow_Dat, n, 5, 1);
    b += curve_line(st.Var_Dat, n, 5, 1);
    b += kEnd;
    return b;
}

Problem out_txt_block(const State& st, const std::string& target, std::string& block) {
    block.clear();
    if (blank(st.Txt_WellName)) return {};
    Problem p;
    p.path = target;
    p.well = st.Txt_WellName;
    if (target.empty()) {
        p.kind = Problem::Kind::NoExchangeTarget;
        return p;
    }
    if (st.Circle_Num < 1 || st.Circle_Num > kArrayLen) {
        p.kind = Problem::Kind::StrokeOutOfRange;
        p.stroke = st.Circle_Num;
        return p;
    }
    try {
        block = exchange_block(st);
    } catch (const Fault& f) {
        Problem fp = fault_problem(Problem::Kind::CurvesNotWritable, f);
        fp.path = target;
        fp.well = st.Txt_WellName;
        return fp;
    }
    return {};
}

Problem append_exchange_block(const std::string& target, const std::string& block) {
    if (block.empty()) return {};
    Problem p;
    p.io = file_io::append_all(target, block);
    if (p.io) {
        p.kind = Problem::Kind::CannotWriteExchange;
        p.path = target;
    }
    return p;
}

Problem out_txt_file(const State& st, const std::string& target_text) {
    // The whole block first: a fault leaves the file as it was.
    const std::string target = MyTrim(target_text);
    std::string block;
    if (Problem p = out_txt_block(st, target, block)) return p;
    return append_exchange_block(target, block);
}

}  // namespace tavo
