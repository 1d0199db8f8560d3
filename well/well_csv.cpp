#include "well/well_csv.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>

#include "common/decimal_digits.h"
#include "common/number_text.h"
#include "common/text.h"
#include "well/well_check.h"
#include "well/well_defaults.h"

namespace tavo::well {

const std::vector<std::string> csv_columns = {
    "well",      "length_m",     "diameter_mm",     "weight_kg_per_m", "modulus_GPa",     "tensile_MPa",
    "grade",     "pump_depth_m", "plunger_mm",      "tubing_inner_mm", "tubing_anchored", "water_cut_pct",
    "oil_kg_m3", "water_kg_m3",  "tubing_head_MPa", "casing_MPa",      "damping_nu",      "notes"};

namespace {

using Kind = WellProblem::Kind;

struct Row {
    long line = 0;  // where the row starts
    std::vector<std::string> cells;
};

bool valid_utf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        if (c < 0x80) {
            n = 0;
        } else if (c >= 0xC2 && c <= 0xDF) {
            n = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3;
        } else {
            return false;
        }
        for (std::size_t k = 1; k <= n; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        }
        i += n + 1;
    }
    return true;
}

std::string trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

// Splits the text into rows of cells (RFC 4180 quoting; CR LF or LF line
// ends). Blank lines are passed over. False with `bad` set on an unclosed
// quote.
bool split_rows(std::string_view text, std::vector<Row>& rows, WellProblem& bad) {
    long line = 1;
    std::size_t i = 0;
    while (i < text.size()) {
        Row row;
        row.line = line;
        std::string cell;
        bool any = false;
        for (;;) {
            if (i < text.size() && text[i] == '"') {
                // A quoted cell: "" stands for one quote; line ends inside belong to it.
                ++i;
                for (;;) {
                    if (i >= text.size()) {
                        bad.kind = Kind::BadCsv;
                        bad.line = row.line;
                        bad.detail = "unclosed quote";
                        return false;
                    }
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') {
                            cell += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (text[i] == '\n') ++line;
                    cell += text[i++];
                }
            }
            while (i < text.size() && text[i] != ',' && text[i] != '\n') cell += text[i++];
            if (!cell.empty() && cell.back() == '\r' && (i >= text.size() || text[i] == '\n'))
                cell.pop_back();
            // A row of empty cells (",,,", as spreadsheets write) is blank.
            any = any || !trim(cell).empty();
            row.cells.push_back(std::move(cell));
            cell.clear();
            if (i < text.size() && text[i] == ',') {
                ++i;
                continue;
            }
            break;
        }
        if (i < text.size() && text[i] == '\n') {
            ++i;
            ++line;
        }
        if (any) rows.push_back(std::move(row));
    }
    return true;
}

// Reads the cells of one file, problem by problem.
class Reader {
public:
    Reader(std::map<std::string, std::size_t> columns, WellProblems& problems)
        : columns_(std::move(columns)), problems_(problems) {}

    void start(const Row& row, const std::string& well) {
        row_ = &row;
        well_ = well;
    }
    void fail(Kind kind, const std::string& column, const std::string& detail = {}) {
        WellProblem p;
        p.kind = kind;
        p.line = row_->line;
        p.field = column;
        p.well = well_;
        p.detail = detail;
        problems_.push_back(std::move(p));
        ++errors_;
    }
    int errors() const { return errors_; }

    // The trimmed cell of `column`, nullopt when the column or the cell is empty.
    std::optional<std::string> cell(const std::string& column) const {
        const auto it = columns_.find(column);
        if (it == columns_.end() || it->second >= row_->cells.size()) return std::nullopt;
        std::string s = trim(row_->cells[it->second]);
        if (s.empty()) return std::nullopt;
        return s;
    }

    std::optional<double> number(const std::string& column, bool required) {
        const std::optional<std::string> s = cell(column);
        if (!s) {
            if (required) fail(Kind::Missing, column);
            return std::nullopt;
        }
        std::string_view v = *s;
        if (!v.empty() && v.front() == '+') v.remove_prefix(1);
        double d = 0.0;
#if TAVO_STD_FLOAT_CHARS
        const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), d);
        const bool whole = ec == std::errc() && end == v.data() + v.size();
#else
        // A library without floating-point from_chars (the browser's): the C
        // library's reading, in its "C" locale there, over the whole cell.
        const std::string text(v);
        char* end = nullptr;
        d = std::strtod(text.c_str(), &end);
        const bool whole = !text.empty() && end == text.c_str() + text.size() &&
                           text.find_first_of(" \t\r\nxXpP") == std::string::npos;
#endif
        if (!whole || !std::isfinite(d)) {
            fail(Kind::NotANumber, column, *s);
            return std::nullopt;
        }
        return d;
    }
    std::optional<bool> boolean(const std::string& column) {
        const std::optional<std::string> s = cell(column);
        if (!s) return std::nullopt;
        std::string v = *s;
        for (char& c : v) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (v == "true" || v == "yes" || v == "1" || v == "y" || v == "是") return true;
        if (v == "false" || v == "no" || v == "0" || v == "n" || v == "否") return false;
        fail(Kind::WrongType, column, "boolean");
        return std::nullopt;
    }

private:
    std::map<std::string, std::size_t> columns_;
    WellProblems& problems_;
    const Row* row_ = nullptr;
    std::string well_;
    int errors_ = 0;
};

// A well-level value: on the well's first row it sets `out`; on a later
// row it must be empty or the same.
template <typename T>
void well_value(Reader& in, bool first, const std::string& column, const std::optional<T>& v, T& out,
                bool& given) {
    if (!v) return;
    if (first || !given) {
        out = *v;
        given = true;
    } else if (!(*v == out)) {
        in.fail(Kind::Contradicts, column, in.cell(column).value_or(std::string()));
    }
}

// The CSV column and line of a check's field (".rods[2].length_m").
void place(WellProblem& p, const std::vector<long>& taper_lines) {
    static const std::map<std::string, std::string> level = {{".well", "well"},
                                                             {".pump.depth_m", "pump_depth_m"},
                                                             {".pump.plunger_mm", "plunger_mm"},
                                                             {".tubing.inner_mm", "tubing_inner_mm"},
                                                             {".fluid.water_cut_pct", "water_cut_pct"},
                                                             {".fluid.oil_kg_m3", "oil_kg_m3"},
                                                             {".fluid.water_kg_m3", "water_kg_m3"},
                                                             {".pressure.tubing_head_MPa", "tubing_head_MPa"},
                                                             {".pressure.casing_MPa", "casing_MPa"},
                                                             {".damping_nu", "damping_nu"},
                                                             {".rods", "length_m"}};
    p.line = taper_lines.empty() ? 0 : taper_lines.front();
    if (const auto it = level.find(p.field); it != level.end()) {
        p.field = it->second;
        return;
    }
    // ".rods[k].column"
    const std::size_t open = p.field.find('[');
    const std::size_t close = p.field.find(']');
    if (open == std::string::npos || close == std::string::npos || close < open) return;
    const std::size_t k = std::stoul(p.field.substr(open + 1, close - open - 1));
    if (k < taper_lines.size()) p.line = taper_lines[k];
    p.field = close + 2 <= p.field.size() ? p.field.substr(close + 2) : std::string();
}

std::string cell_text(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos && s == trim(s)) return s;
    std::string q = "\"";
    for (char c : s) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + '"';
}

std::string number_text(double v) {
    return shortest_text(v);
}

}  // namespace

ImportResult read_csv(std::string_view bytes) {
    ImportResult result;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    const std::string text = valid_utf8(bytes) ? std::string(bytes) : gbk_to_utf8(bytes);

    std::vector<Row> rows;
    WellProblem bad;
    if (!split_rows(text, rows, bad)) {
        result.problems.push_back(std::move(bad));
        return result;
    }
    if (rows.empty()) {
        result.problems.push_back(problem_of(Kind::NoRecords));
        return result;
    }
    std::map<std::string, std::size_t> columns;
    for (std::size_t c = 0; c < rows.front().cells.size(); ++c) {
        const std::string name = trim(rows.front().cells[c]);
        if (!name.empty()) columns.emplace(name, c);
    }
    bool failed = false;
    for (const char* required : {"well", "length_m", "diameter_mm", "pump_depth_m", "plunger_mm"}) {
        if (columns.count(required) == 0) {
            WellProblem p;
            p.kind = Kind::MissingColumn;
            p.line = rows.front().line;
            p.field = required;
            result.problems.push_back(std::move(p));
            failed = true;
        }
    }
    if (failed) return result;
    if (rows.size() == 1) {
        result.problems.push_back(problem_of(Kind::NoRecords));
        return result;
    }

    Reader in(columns, result.problems);
    std::set<std::string> done;  // wells whose rows have ended
    std::size_t r = 1;
    while (r < rows.size()) {
        // The rows of one well.
        in.start(rows[r], {});
        const std::string well = trimmed_name(in.cell("well").value_or(std::string()));
        WellRecord rec;
        rec.well = well;
        rec.tubing = default_tubing;
        rec.fluid = default_fluid;
        rec.pressure = default_pressure;
        std::vector<long> lines;
        const int errors_before = in.errors();
        if (well.empty()) {
            in.fail(Kind::Missing, "well");
            ++r;
            continue;
        }
        if (!done.insert(well).second) {
            WellProblem p;
            p.kind = Kind::DuplicateWell;
            p.line = rows[r].line;
            p.field = "well";
            p.well = well;
            result.problems.push_back(std::move(p));
            failed = true;
        }
        bool depth_given = false, plunger_given = false, inner_given = false, anchored_given = false;
        bool cut_given = false, oil_given = false, water_given = false, head_given = false,
             casing_given = false;
        bool nu_given = false, notes_given = false;
        double nu = 0.0;
        for (bool first = true; r < rows.size(); first = false, ++r) {
            in.start(rows[r], well);
            if (!first && trimmed_name(in.cell("well").value_or(std::string())) != well) break;
            lines.push_back(rows[r].line);
            RodTaper t;
            if (auto v = in.number("length_m", true)) t.length_m = *v;
            if (auto v = in.number("diameter_mm", true)) t.diameter_mm = *v;
            t.weight_kg_per_m = in.number("weight_kg_per_m", false);
            if (auto v = in.number("modulus_GPa", false)) t.modulus_GPa = *v;
            t.tensile_MPa = in.number("tensile_MPa", false);
            t.grade = trimmed_name(in.cell("grade").value_or(std::string()));
            rec.rods.push_back(std::move(t));

            well_value(in, first, "pump_depth_m", in.number("pump_depth_m", false), rec.pump.depth_m,
                       depth_given);
            well_value(in, first, "plunger_mm", in.number("plunger_mm", false), rec.pump.plunger_mm,
                       plunger_given);
            well_value(in, first, "tubing_inner_mm", in.number("tubing_inner_mm", false), rec.tubing.inner_mm,
                       inner_given);
            well_value(in, first, "tubing_anchored", in.boolean("tubing_anchored"), rec.tubing.anchored,
                       anchored_given);
            well_value(in, first, "water_cut_pct", in.number("water_cut_pct", false), rec.fluid.water_cut_pct,
                       cut_given);
            well_value(in, first, "oil_kg_m3", in.number("oil_kg_m3", false), rec.fluid.oil_kg_m3, oil_given);
            well_value(in, first, "water_kg_m3", in.number("water_kg_m3", false), rec.fluid.water_kg_m3,
                       water_given);
            well_value(in, first, "tubing_head_MPa", in.number("tubing_head_MPa", false),
                       rec.pressure.tubing_head_MPa, head_given);
            well_value(in, first, "casing_MPa", in.number("casing_MPa", false), rec.pressure.casing_MPa,
                       casing_given);
            well_value(in, first, "damping_nu", in.number("damping_nu", false), nu, nu_given);
            std::optional<std::string> notes;
            if (const auto it = columns.find("notes"); it != columns.end() &&
                                                       it->second < rows[r].cells.size() &&
                                                       !trim(rows[r].cells[it->second]).empty())
                notes = rows[r].cells[it->second];
            well_value(in, first, "notes", notes, rec.notes, notes_given);
        }
        if (nu_given) rec.damping_nu = nu;
        in.start(rows[r - 1], well);
        if (!depth_given || !plunger_given) {
            WellProblem p;
            p.kind = Kind::Missing;
            p.line = lines.front();
            p.field = depth_given ? "plunger_mm" : "pump_depth_m";
            p.well = well;
            result.problems.push_back(std::move(p));
            failed = true;
            continue;
        }
        if (in.errors() > errors_before) continue;
        for (WellProblem p : check(rec)) {
            place(p, lines);
            failed = failed || !p.warning();
            result.problems.push_back(std::move(p));
        }
        result.records.push_back(std::move(rec));
    }
    if (failed || in.errors() > 0) result.records.clear();
    return result;
}

std::string write_csv(const std::vector<WellRecord>& records) {
    std::string out = "\xEF\xBB\xBF";
    for (std::size_t c = 0; c < csv_columns.size(); ++c) out += (c > 0 ? "," : "") + csv_columns[c];
    out += "\r\n";
    for (const WellRecord& r : records) {
        for (std::size_t k = 0; k < r.rods.size(); ++k) {
            const RodTaper& t = r.rods[k];
            std::vector<std::string> cells = {
                cell_text(r.well),
                number_text(t.length_m),
                number_text(t.diameter_mm),
                t.weight_kg_per_m ? number_text(*t.weight_kg_per_m) : std::string(),
                number_text(t.modulus_GPa),
                t.tensile_MPa ? number_text(*t.tensile_MPa) : std::string(),
                cell_text(t.grade)};
            if (k == 0) {
                for (const std::string& s :
                     {number_text(r.pump.depth_m), number_text(r.pump.plunger_mm),
                      number_text(r.tubing.inner_mm), std::string(r.tubing.anchored ? "true" : "false"),
                      number_text(r.fluid.water_cut_pct), number_text(r.fluid.oil_kg_m3),
                      number_text(r.fluid.water_kg_m3), number_text(r.pressure.tubing_head_MPa),
                      number_text(r.pressure.casing_MPa),
                      r.damping_nu ? number_text(*r.damping_nu) : std::string(), cell_text(r.notes)})
                    cells.push_back(s);
            }
            for (std::size_t c = 0; c < cells.size(); ++c) out += (c > 0 ? "," : "") + cells[c];
            out += "\r\n";
        }
    }
    return out;
}

}  // namespace tavo::well
