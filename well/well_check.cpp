#include "well/well_check.h"

#include <cmath>
#include <optional>

#include "well/rod_table.h"

namespace tavo::well {

namespace {

class Checker {
public:
    explicit Checker(const WellRecord& r) : well_(r.well) {}

    // A value that must lie in `range`; `positive`: above 0 as well.
    void value(const std::string& field, double v, Range range, bool positive) {
        if (!std::isfinite(v)) {
            add(WellProblem::Kind::NotANumber, field, v, range);
        } else if (positive && v <= 0.0) {
            add(WellProblem::Kind::NotPositive, field, v, range);
        } else if (v < range.low || v > range.high) {
            add(WellProblem::Kind::OutOfRange, field, v, range);
        }
    }
    void optional_value(const std::string& field, const std::optional<double>& v, Range range) {
        if (v) value(field, *v, range, true);
    }
    WellProblem& add(WellProblem::Kind kind, const std::string& field, double v = 0.0,
                     Range range = {0.0, 0.0}) {
        WellProblem p;
        p.kind = kind;
        p.well = well_;
        p.field = field;
        p.value = v;
        p.low = range.low;
        p.high = range.high;
        problems_.push_back(std::move(p));
        return problems_.back();
    }
    WellProblems take() { return std::move(problems_); }

private:
    std::string well_;
    WellProblems problems_;
};

}  // namespace

std::string trimmed_name(const std::string& name) {
    const char* blanks = " \t\r\n\v\f";
    std::string s = name;
    while (!s.empty() &&
           (s.back() == '\0' || std::string_view(blanks).find(s.back()) != std::string_view::npos))
        s.pop_back();
    std::size_t i = 0;
    while (i < s.size() && (s[i] == '\0' || std::string_view(blanks).find(s[i]) != std::string_view::npos))
        ++i;
    return s.substr(i);
}

double rod_string_length_m(const WellRecord& r) {
    double sum = 0.0;
    for (const RodTaper& t : r.rods) sum += t.length_m;
    return sum;
}

WellProblems check(const WellRecord& r) {
    Checker c(r);
    if (trimmed_name(r.well).empty()) c.add(WellProblem::Kind::Missing, ".well");
    if (r.rods.empty()) c.add(WellProblem::Kind::NoTapers, ".rods");
    for (std::size_t i = 0; i < r.rods.size(); ++i) {
        const RodTaper& t = r.rods[i];
        const std::string at = ".rods[" + std::to_string(i) + "].";
        c.value(at + "length_m", t.length_m, ranges::length_m, true);
        c.value(at + "diameter_mm", t.diameter_mm, ranges::diameter_mm, true);
        c.optional_value(at + "weight_kg_per_m", t.weight_kg_per_m, ranges::weight_kg_per_m);
        c.value(at + "modulus_GPa", t.modulus_GPa, ranges::modulus_GPa, true);
        c.optional_value(at + "tensile_MPa", t.tensile_MPa, ranges::tensile_MPa);
        // Only a plausible diameter can be looked up.
        if (!t.weight_kg_per_m && std::isfinite(t.diameter_mm) && t.diameter_mm > 0.0 && !weight_kg_per_m(t))
            c.add(WellProblem::Kind::NoWeight, at + "weight_kg_per_m", t.diameter_mm);
    }
    c.value(".pump.depth_m", r.pump.depth_m, ranges::depth_m, true);
    c.value(".pump.plunger_mm", r.pump.plunger_mm, ranges::plunger_mm, true);
    c.value(".tubing.inner_mm", r.tubing.inner_mm, ranges::inner_mm, true);
    c.value(".fluid.water_cut_pct", r.fluid.water_cut_pct, ranges::water_cut_pct, false);
    c.value(".fluid.oil_kg_m3", r.fluid.oil_kg_m3, ranges::oil_kg_m3, true);
    c.value(".fluid.water_kg_m3", r.fluid.water_kg_m3, ranges::water_kg_m3, true);
    c.value(".pressure.tubing_head_MPa", r.pressure.tubing_head_MPa, ranges::pressure_MPa, false);
    c.value(".pressure.casing_MPa", r.pressure.casing_MPa, ranges::pressure_MPa, false);
    if (r.damping_nu) c.value(".damping_nu", *r.damping_nu, ranges::damping_nu, false);

    const double sum = rod_string_length_m(r);
    const double depth = r.pump.depth_m;
    if (!r.rods.empty() && std::isfinite(sum) && std::isfinite(depth) && depth > 0.0) {
        const double tolerance = taper_sum_tolerance * depth;
        if (std::fabs(sum - depth) > tolerance) {
            WellProblem& p = c.add(WellProblem::Kind::LengthMismatch, ".rods", sum);
            p.low = depth;
            p.high = tolerance;
        }
    }
    return c.take();
}

}  // namespace tavo::well
