#include "cli/analysis_json.h"

#include <cmath>
#include <cstdlib>

#include "common/number_text.h"
#include "common/text.h"

namespace tavo::cli {

namespace {

using nlohmann::json;

json f32(float v) {
    if (!std::isfinite(v)) return json(nullptr);
    return json(std::strtod(tavo::shortest_text(v).c_str(), nullptr));
}

json quad(const tavo::QuadTable& t) {
    json a = json::array();
    for (std::size_t q = 1; q <= 5; ++q) a.push_back(f32(t[q]));
    return a;
}

json samples(const tavo::SampleArray& s) {
    json a = json::array();
    for (float v : s) a.push_back(f32(v));
    return a;
}

void dump(const json& j, std::string& out) {
    switch (j.type()) {
        case json::value_t::object: {
            out += '{';
            bool first = true;
            for (auto it = j.begin(); it != j.end(); ++it) {
                if (!first) out += ',';
                first = false;
                out += json(it.key()).dump(-1, ' ', false, json::error_handler_t::replace);
                out += ':';
                dump(it.value(), out);
            }
            out += '}';
            break;
        }
        case json::value_t::array: {
            out += '[';
            bool first = true;
            for (const auto& e : j) {
                if (!first) out += ',';
                first = false;
                dump(e, out);
            }
            out += ']';
            break;
        }
        case json::value_t::number_float: {
            const double d = j.get<double>();
            out += std::isfinite(d) ? tavo::shortest_text(d) : std::string("null");
            break;
        }
        default:
            out += j.dump(-1, ' ', false, json::error_handler_t::replace);
            break;
    }
}

}  // namespace

json analysis_object(const tavo::State& st, const std::string& file, bool with_arrays) {
    json o = json::object();
    o["file"] = file;
    o["Well_Name"] = tavo::MyTrim(st.head.Well_Name);
    o["Test_Time"] = tavo::MyTrim(st.head.Test_Time);
    o["Test_Mode"] = st.head.Test_Mode;
    o["Rec_Speed"] = st.head.Rec_Speed;
    o["Point_Num"] = st.head.Point_Num;
    o["Circle_Num"] = st.Circle_Num;
    o["Pow_Circle_Num"] = st.Pow_Circle_Num;
    o["Circle_Corr"] = f32(st.Circle_Corr);
    o["Quad_Num"] = quad(st.Quad_Num);
    o["Quad_Cur"] = quad(st.Quad_Cur);
    o["Quad_Pow"] = quad(st.Quad_Pow);
    o["Quad_Var"] = quad(st.Quad_Var);
    o["Quad_VA"] = quad(st.Quad_VA);
    o["Quad_PF"] = quad(st.Quad_PF);
    o["Max_Up_Cur"] = st.Max_Up_Cur;
    o["Max_Down_Cur"] = st.Max_Down_Cur;
    o["Avg_Up_Pow"] = st.Avg_Up_Pow;
    o["Avg_Down_Pow"] = st.Avg_Down_Pow;
    o["Pow_Mode"] = st.Pow_Mode;
    o["Sgt_Period"] = st.Sgt_Period;
    o["Sgt_Stroke"] = st.Sgt_Stroke;
    o["Sgt_MaxLoad"] = st.Sgt_MaxLoad;
    o["Sgt_MinLoad"] = st.Sgt_MinLoad;
    o["Sgt_Work"] = f32(st.Sgt_Work);
    o["Sgt_Power"] = f32(st.Sgt_Power);
    json boxes = json::array();
    for (const auto& t : st.Text3) boxes.push_back(t);
    o["Text3"] = boxes;
    if (with_arrays) {
        o["arrays"] = {{"Cur_Dat", samples(st.Cur_Dat)}, {"Vol_Dat", samples(st.Vol_Dat)},
                       {"Pow_Dat", samples(st.Pow_Dat)}, {"Var_Dat", samples(st.Var_Dat)},
                       {"VA_Dat", samples(st.VA_Dat)},   {"PF_Dat", samples(st.PF_Dat)},
                       {"Pos_Dat", samples(st.Pos_Dat)}, {"Force_Dat", samples(st.Force_Dat)}};
    }
    return o;
}

std::string json_line(const nlohmann::json& j) {
    std::string out;
    dump(j, out);
    return out;
}

}  // namespace tavo::cli
