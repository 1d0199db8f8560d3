#include "summary/well_words.h"

#include <cctype>
#include <cstdio>
#include <map>

namespace tavo::summary {

namespace {

using WK = well::WellProblem::Kind;

// Ten significant digits, as the window always printed these values.
std::string num(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

// Digits from `at`, then "]": true with their number, `at` past the "]".
bool index_at(const std::string& f, std::size_t& at, long& n) {
    std::size_t end = at;
    while (end < f.size() && std::isdigit(static_cast<unsigned char>(f[end]))) ++end;
    if (end == at || end >= f.size() || f[end] != ']' || end - at > 9) return false;
    n = std::stol(f.substr(at, end - at));
    at = end + 1;
    return true;
}

// A field of a rod taper: "[i].rods[k].key" or ".rods[k].key" (the key may
// be missing, with its dot): k and the key.
bool taper_field(const std::string& f, long& taper, std::string& key) {
    std::size_t at = 0;
    long record = 0;
    if (!f.empty() && f[0] == '[' && !index_at(f, ++at, record)) return false;
    static const std::string rods = ".rods[";
    if (f.compare(at, rods.size(), rods) != 0) return false;
    at += rods.size();
    if (!index_at(f, at, taper)) return false;
    if (at < f.size() && f[at] == '.') ++at;
    key = f.substr(at);
    return true;
}

}  // namespace

std::string well_field_label(const std::string& field) {
    std::string prefix;
    std::string key = field;
    long taper = 0;
    if (taper_field(field, taper, key)) {
        prefix = "第" + std::to_string(taper + 1) + "级杆";
        if (key.empty()) return prefix;
        prefix += ' ';
    } else {
        const size_t dot = field.rfind('.');
        const std::string tail = dot == std::string::npos ? field : field.substr(dot + 1);
        // Well-level fields, by their path without any array index.
        const size_t first = field.find('.');
        key = first == std::string::npos ? field : field.substr(first + 1);
        if (key.empty()) key = tail;
    }
    static const std::map<std::string, std::string> names = {
        {"well", "井号"},
        {"rods", "杆柱"},
        {"length_m", "长度 (m)"},
        {"diameter_mm", "直径 (mm)"},
        {"weight_kg_per_m", "每米重量 (kg/m)"},
        {"modulus_GPa", "弹性模量 (GPa)"},
        {"tensile_MPa", "抗拉强度 (MPa)"},
        {"grade", "钢级"},
        {"pump.depth_m", "泵深 (m)"},
        {"pump_depth_m", "泵深 (m)"},
        {"pump.plunger_mm", "柱塞直径 (mm)"},
        {"plunger_mm", "柱塞直径 (mm)"},
        {"tubing.inner_mm", "油管内径 (mm)"},
        {"tubing_inner_mm", "油管内径 (mm)"},
        {"tubing.anchored", "油管锚定"},
        {"tubing_anchored", "油管锚定"},
        {"fluid.water_cut_pct", "含水率 (%)"},
        {"water_cut_pct", "含水率 (%)"},
        {"fluid.oil_kg_m3", "原油密度 (kg/m³)"},
        {"oil_kg_m3", "原油密度 (kg/m³)"},
        {"fluid.water_kg_m3", "地层水密度 (kg/m³)"},
        {"water_kg_m3", "地层水密度 (kg/m³)"},
        {"pressure.tubing_head_MPa", "油压 (MPa)"},
        {"tubing_head_MPa", "油压 (MPa)"},
        {"pressure.casing_MPa", "套压 (MPa)"},
        {"casing_MPa", "套压 (MPa)"},
        {"damping_nu", "阻尼系数 ν"},
        {"notes", "备注"},
        {"pump", "泵"},
        {"tubing", "油管"},
        {"fluid", "流体"},
        {"pressure", "压力"},
    };
    const auto it = names.find(key);
    return prefix + (it == names.end() ? key : it->second);
}

std::string well_problem_text(const well::WellProblem& p, const std::string& io_reason) {
    std::string at = p.file;
    if (p.line > 0) at += (at.empty() ? "" : "：") + std::string("第 ") + std::to_string(p.line) + " 行";
    if (!p.field.empty()) at += (at.empty() ? "" : "，") + well_field_label(p.field);
    if (!p.well.empty() && !p.file.empty()) at += "（井 " + p.well + "）";
    std::string why;
    switch (p.kind) {
        case WK::None:
            break;
        case WK::CannotRead:
            why = "无法读取文件：" + io_reason;
            break;
        case WK::CannotWrite:
            why = "无法写入文件：" + io_reason;
            break;
        case WK::UnknownFormat:
            why = "文件扩展名须为 .json 或 .csv";
            break;
        case WK::BadJson:
            why = "不是有效的 JSON";
            break;
        case WK::BadCsv:
            why = "CSV 格式错误（引号未闭合）";
            break;
        case WK::MissingColumn:
            why = "表头缺少此列";
            break;
        case WK::NoRecords:
            why = "文件中没有井数据";
            break;
        case WK::DuplicateWell:
            why = "同一口井在文件中出现两次";
            break;
        case WK::Missing:
            why = "必须填写";
            break;
        case WK::WrongType:
            why = "类型不对";
            break;
        case WK::NotANumber:
            why = "“" + p.detail + "”不是数字";
            break;
        case WK::NotPositive:
            why = "须大于 0";
            break;
        case WK::OutOfRange:
            why = num(p.value) + " 超出合理范围 " + num(p.low) + "～" + num(p.high);
            break;
        case WK::NoWeight:
            why = "直径 " + num(p.value) + " mm 不在抽油杆表中（或不是钢杆），须填写每米重量";
            break;
        case WK::NoTapers:
            why = "至少要有一级抽油杆";
            break;
        case WK::Contradicts:
            why = "“" + p.detail + "”与该井第一行的值不同";
            break;
        case WK::LengthMismatch:
            why = "总长 " + num(p.value) + " m 与泵深 " + num(p.low) + " m 相差超过 " + num(p.high) + " m";
            break;
    }
    const std::string text = at.empty() ? why : at + "：" + why;
    return p.warning() ? "注意：" + text : text;
}

}  // namespace tavo::summary
