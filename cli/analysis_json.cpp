#include "cli/analysis_json.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

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

// Whether s can be written between quotes as it stands: well-formed UTF-8
// (no overlong forms, surrogates or code points past U+10FFFF) with nothing
// JSON escapes (controls, quote, backslash) and no DEL. Anything else goes
// through the library, which escapes and replaces.
bool plain_text(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            if (c < 0x20 || c == '"' || c == '\\' || c == 0x7f) return false;
            ++p;
            continue;
        }
        int more;
        unsigned lo = 0x80, hi = 0xbf;  // the allowed range of the second byte
        if (c >= 0xc2 && c <= 0xdf) {
            more = 1;
        } else if (c >= 0xe0 && c <= 0xef) {
            more = 2;
            if (c == 0xe0) lo = 0xa0;
            if (c == 0xed) hi = 0x9f;
        } else if (c >= 0xf0 && c <= 0xf4) {
            more = 3;
            if (c == 0xf0) lo = 0x90;
            if (c == 0xf4) hi = 0x8f;
        } else {
            return false;
        }
        if (end - p <= more) return false;
        if (p[1] < lo || p[1] > hi) return false;
        for (int k = 2; k <= more; ++k)
            if (p[k] < 0x80 || p[k] > 0xbf) return false;
        p += more + 1;
    }
    return true;
}

// A string as the library would write it, without a copy for the plain ones.
void dump_text(const std::string& s, std::string& out) {
    if (plain_text(s)) {
        out += '"';
        out += s;
        out += '"';
    } else {
        out += json(s).dump(-1, ' ', false, json::error_handler_t::replace);
    }
}

void dump(const json& j, std::string& out) {
    switch (j.type()) {
        case json::value_t::object: {
            out += '{';
            bool first = true;
            for (auto it = j.begin(); it != j.end(); ++it) {
                if (!first) out += ',';
                first = false;
                dump_text(it.key(), out);
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
        case json::value_t::string:
            dump_text(j.get_ref<const std::string&>(), out);
            break;
        case json::value_t::number_integer:
            out += std::to_string(j.get<std::int64_t>());
            break;
        case json::value_t::number_unsigned:
            out += std::to_string(j.get<std::uint64_t>());
            break;
        case json::value_t::boolean:
            out += j.get<bool>() ? "true" : "false";
            break;
        case json::value_t::null:
            out += "null";
            break;
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
