#include "well/well_json.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <set>

#include "well/well_check.h"
#include "well/well_defaults.h"

namespace tavo::well {

namespace {

using nlohmann::json;

// Reads one record's values, collecting a problem for each bad one.
class Reader {
public:
    Reader(std::string prefix, WellProblems& problems) : prefix_(std::move(prefix)), problems_(problems) {}

    void fail(WellProblem::Kind kind, const std::string& field, const std::string& detail = {}) {
        WellProblem p;
        p.kind = kind;
        p.field = prefix_ + field;
        p.detail = detail;
        p.well = well_;
        problems_.push_back(std::move(p));
        ++errors_;
    }
    void set_well(const std::string& w) { well_ = w; }
    int errors() const { return errors_; }

    // The member `key` of `obj` when present and not null.
    static const json* member(const json& obj, const char* key) {
        const auto it = obj.find(key);
        if (it == obj.end() || it->is_null()) return nullptr;
        return &*it;
    }

    bool number(const json& obj, const std::string& at, const char* key, double& out, bool required) {
        const json* v = member(obj, key);
        if (v == nullptr) {
            if (required) fail(WellProblem::Kind::Missing, at + key);
            return false;
        }
        if (!v->is_number()) {
            fail(WellProblem::Kind::WrongType, at + key, "number");
            return false;
        }
        const double d = v->get<double>();
        if (!std::isfinite(d)) {
            fail(WellProblem::Kind::NotANumber, at + key, v->dump());
            return false;
        }
        out = d;
        return true;
    }
    void optional_number(const json& obj, const std::string& at, const char* key,
                         std::optional<double>& out) {
        double d = 0.0;
        if (number(obj, at, key, d, false)) out = d;
    }
    void text(const json& obj, const std::string& at, const char* key, std::string& out, bool required) {
        const json* v = member(obj, key);
        if (v == nullptr) {
            if (required) fail(WellProblem::Kind::Missing, at + key);
            return;
        }
        if (!v->is_string()) {
            fail(WellProblem::Kind::WrongType, at + key, "text");
            return;
        }
        out = v->get<std::string>();
    }
    void boolean(const json& obj, const std::string& at, const char* key, bool& out) {
        const json* v = member(obj, key);
        if (v == nullptr) return;
        if (!v->is_boolean()) {
            fail(WellProblem::Kind::WrongType, at + key, "boolean");
            return;
        }
        out = v->get<bool>();
    }
    // The object `key` of `obj`, or nullptr (a problem when present but
    // not an object, or required and absent).
    const json* object(const json& obj, const std::string& at, const char* key, bool required) {
        const json* v = member(obj, key);
        if (v == nullptr) {
            if (required) fail(WellProblem::Kind::Missing, at + key);
            return nullptr;
        }
        if (!v->is_object()) {
            fail(WellProblem::Kind::WrongType, at + key, "object");
            return nullptr;
        }
        return v;
    }

    const std::string& prefix() const { return prefix_; }

private:
    std::string prefix_;
    std::string well_;
    WellProblems& problems_;
    int errors_ = 0;
};

WellRecord read_record(const json& j, Reader& in) {
    WellRecord r;
    if (!j.is_object()) {
        in.fail(WellProblem::Kind::WrongType, "", "object");
        return r;
    }
    in.text(j, ".", "well", r.well, true);
    r.well = trimmed_name(r.well);
    in.set_well(r.well);
    if (const json* rods = Reader::member(j, "rods"); rods == nullptr) {
        in.fail(WellProblem::Kind::Missing, ".rods");
    } else if (!rods->is_array()) {
        in.fail(WellProblem::Kind::WrongType, ".rods", "array");
    } else {
        for (std::size_t i = 0; i < rods->size(); ++i) {
            const json& t = (*rods)[i];
            const std::string at = ".rods[" + std::to_string(i) + "]";
            RodTaper taper;
            if (!t.is_object()) {
                in.fail(WellProblem::Kind::WrongType, at, "object");
                continue;
            }
            in.number(t, at + ".", "length_m", taper.length_m, true);
            in.number(t, at + ".", "diameter_mm", taper.diameter_mm, true);
            in.optional_number(t, at + ".", "weight_kg_per_m", taper.weight_kg_per_m);
            in.number(t, at + ".", "modulus_GPa", taper.modulus_GPa, false);
            in.optional_number(t, at + ".", "tensile_MPa", taper.tensile_MPa);
            in.text(t, at + ".", "grade", taper.grade, false);
            taper.grade = trimmed_name(taper.grade);
            r.rods.push_back(std::move(taper));
        }
    }
    if (const json* p = in.object(j, ".", "pump", true)) {
        in.number(*p, ".pump.", "depth_m", r.pump.depth_m, true);
        in.number(*p, ".pump.", "plunger_mm", r.pump.plunger_mm, true);
    }
    r.tubing = default_tubing;
    if (const json* t = in.object(j, ".", "tubing", false)) {
        in.number(*t, ".tubing.", "inner_mm", r.tubing.inner_mm, false);
        in.boolean(*t, ".tubing.", "anchored", r.tubing.anchored);
    }
    r.fluid = default_fluid;
    if (const json* f = in.object(j, ".", "fluid", false)) {
        in.number(*f, ".fluid.", "water_cut_pct", r.fluid.water_cut_pct, false);
        in.number(*f, ".fluid.", "oil_kg_m3", r.fluid.oil_kg_m3, false);
        in.number(*f, ".fluid.", "water_kg_m3", r.fluid.water_kg_m3, false);
    }
    r.pressure = default_pressure;
    if (const json* p = in.object(j, ".", "pressure", false)) {
        in.number(*p, ".pressure.", "tubing_head_MPa", r.pressure.tubing_head_MPa, false);
        in.number(*p, ".pressure.", "casing_MPa", r.pressure.casing_MPa, false);
    }
    in.optional_number(j, ".", "damping_nu", r.damping_nu);
    in.text(j, ".", "notes", r.notes, false);
    return r;
}

// Line and column (from 1) of a byte offset of the text.
void locate(std::string_view text, std::size_t byte, WellProblem& p) {
    byte = std::min(byte, text.size());
    p.line = 1;
    std::size_t line_start = 0;
    for (std::size_t i = 0; i < byte; ++i) {
        if (text[i] == '\n') {
            ++p.line;
            line_start = i + 1;
        }
    }
    p.column = static_cast<long>(byte - line_start) + 1;
}

// Written in the order of the README's example.
using ordered = nlohmann::ordered_json;

ordered taper_json(const RodTaper& t) {
    ordered o = ordered::object();
    o["length_m"] = t.length_m;
    o["diameter_mm"] = t.diameter_mm;
    if (t.weight_kg_per_m) o["weight_kg_per_m"] = *t.weight_kg_per_m;
    o["modulus_GPa"] = t.modulus_GPa;
    if (t.tensile_MPa) o["tensile_MPa"] = *t.tensile_MPa;
    if (!t.grade.empty()) o["grade"] = t.grade;
    return o;
}

ordered record_json(const WellRecord& r) {
    ordered o = ordered::object();
    o["well"] = r.well;
    ordered rods = ordered::array();
    for (const RodTaper& t : r.rods) rods.push_back(taper_json(t));
    o["rods"] = std::move(rods);
    o["pump"] = {{"depth_m", r.pump.depth_m}, {"plunger_mm", r.pump.plunger_mm}};
    o["tubing"] = {{"inner_mm", r.tubing.inner_mm}, {"anchored", r.tubing.anchored}};
    o["fluid"] = {{"water_cut_pct", r.fluid.water_cut_pct},
                  {"oil_kg_m3", r.fluid.oil_kg_m3},
                  {"water_kg_m3", r.fluid.water_kg_m3}};
    o["pressure"] = {{"tubing_head_MPa", r.pressure.tubing_head_MPa}, {"casing_MPa", r.pressure.casing_MPa}};
    if (r.damping_nu) o["damping_nu"] = *r.damping_nu;
    if (!r.notes.empty()) o["notes"] = r.notes;
    return o;
}

}  // namespace

ImportResult read_json(std::string_view text) {
    ImportResult result;
    // A byte order mark, as some editors write it, is no part of the JSON.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    json doc;
    try {
        doc = json::parse(text);
    } catch (const json::parse_error& e) {
        WellProblem p;
        p.kind = WellProblem::Kind::BadJson;
        locate(text, e.byte > 0 ? e.byte - 1 : 0, p);
        result.problems.push_back(std::move(p));
        return result;
    } catch (const json::exception&) {
        // A number beyond the range of a double: the parser gives no place.
        result.problems.push_back(problem_of(WellProblem::Kind::BadJson));
        return result;
    }
    const bool single = !doc.is_array();
    const std::size_t n = single ? 1 : doc.size();
    if (n == 0) {
        result.problems.push_back(problem_of(WellProblem::Kind::NoRecords));
        return result;
    }
    bool failed = false;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < n; ++i) {
        const json& j = single ? doc : doc[i];
        const std::string prefix = single ? std::string() : "[" + std::to_string(i) + "]";
        Reader in(prefix, result.problems);
        WellRecord r = read_record(j, in);
        if (in.errors() > 0) {
            failed = true;
            continue;
        }
        for (WellProblem p : check(r)) {
            p.field = prefix + p.field;
            failed = failed || !p.warning();
            result.problems.push_back(std::move(p));
        }
        if (!seen.insert(r.well).second) {
            WellProblem p;
            p.kind = WellProblem::Kind::DuplicateWell;
            p.well = r.well;
            p.field = prefix + ".well";
            result.problems.push_back(std::move(p));
            failed = true;
        }
        result.records.push_back(std::move(r));
    }
    if (failed) result.records.clear();
    return result;
}

std::string write_json(const std::vector<WellRecord>& records, bool single) {
    ordered out;
    if (single && records.size() == 1) {
        out = record_json(records.front());
    } else {
        out = ordered::array();
        for (const WellRecord& r : records) out.push_back(record_json(r));
    }
    // Text that is not UTF-8 cannot come from the readers; should it come
    // from elsewhere, its bad bytes become U+FFFD instead of an exception.
    return out.dump(2, ' ', false, ordered::error_handler_t::replace) + "\n";
}

}  // namespace tavo::well
