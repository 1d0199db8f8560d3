#include "support/ops.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "support/files.h"

namespace tavo::testing {

std::vector<DrawOp> of_kind(const RecordingSurface& rec, OpKind k) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : rec.ops)
        if (op.kind == k) out.push_back(op);
    return out;
}

std::vector<std::string> texts(const RecordingSurface& rec) {
    std::vector<std::string> out;
    for (const DrawOp& op : rec.ops)
        if (op.kind == OpKind::Text) out.push_back(op.text);
    return out;
}

std::vector<DrawOp> texts_at(const RecordingSurface& rec, double x, double y) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : rec.ops)
        if (op.kind == OpKind::Text && std::abs(op.x1 - x) < 1e-6 && std::abs(op.y1 - y) < 1e-6)
            out.push_back(op);
    return out;
}

std::string text_at(const RecordingSurface& rec, double x, double y) {
    const auto t = texts_at(rec, x, y);
    if (t.empty()) return "<none>";
    if (t.size() > 1) return "<several>";
    return t[0].text;
}

std::vector<DrawOp> curve_ops(const RecordingSurface& rec, int color) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : rec.ops)
        if ((op.kind == OpKind::Point || op.kind == OpKind::LineTo) && op.color == color) out.push_back(op);
    return out;
}

namespace {

// Shortest form to 0.0001: "10", "10.5", "-0.0347"; never "-0".
std::string num(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    std::string s = buf;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

// The text in quotes; quotes, backslashes and control bytes escaped.
std::string quoted(const std::string& t) {
    std::string out = "\"";
    for (const char c : t) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", u);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

std::string ops_text(const std::vector<DrawOp>& ops) {
    std::string out;
    std::string unit, pen, font;
    auto setting = [&out](std::string& last, const std::string& now) {
        if (now != last) out += now + "\n";
        last = now;
    };
    // Where the last point, line or rectangle ended: a line_to starting
    // anywhere else says so.
    double end_x = 0.0, end_y = 0.0;
    for (const DrawOp& op : ops) {
        setting(unit, std::string("unit ") + unit_name(op.unit));
        setting(pen, "pen color " + std::to_string(op.color) + " width " + std::to_string(op.width) + " " +
                         style_name(op.style));
        if (op.kind == OpKind::Text) setting(font, "font " + op.font + " " + num(op.size));
        out += op_name(op.kind);
        switch (op.kind) {
            case OpKind::Line:
            case OpKind::Rect:
                out += " " + num(op.x1) + " " + num(op.y1) + " " + num(op.x2) + " " + num(op.y2);
                break;
            case OpKind::LineTo:
                out += " " + num(op.x2) + " " + num(op.y2);
                if (num(op.x1) != num(end_x) || num(op.y1) != num(end_y))
                    out += " from " + num(op.x1) + " " + num(op.y1);
                break;
            case OpKind::Point:
                out += " " + num(op.x1) + " " + num(op.y1);
                break;
            case OpKind::Text:
                out += " " + num(op.x1) + " " + num(op.y1) + " " + quoted(op.text) + " advance " +
                       num(op.advance) + " line " + num(op.line_height);
                if (!op.end_line) out += " stay";
                break;
        }
        if (op.kind != OpKind::Text) end_x = op.x2, end_y = op.y2;
        out += "\n";
    }
    return out;
}

std::string golden_drawing_mismatch(const RecordingSurface& rec, const std::string& name) {
    const std::string text = ops_text(rec.ops);
    const std::filesystem::path golden = source_dir() / "tests/golden/drawings" / name;
    if (golden_update_requested()) {
        std::filesystem::create_directories(golden.parent_path());
        write_bytes(golden, text);
        return {};
    }
    if (!std::filesystem::is_regular_file(golden))
        return golden.string() + " is missing; write it with TAVO_UPDATE_GOLDEN=1";
    const std::string want = read_bytes(golden);
    return want == text ? std::string() : first_difference(want, text);
}

bool golden_update_requested() {
    const char* v = std::getenv("TAVO_UPDATE_GOLDEN");
    return v != nullptr && *v != '\0' && std::string(v) != "0";
}

std::string first_difference(const std::string& want, const std::string& got) {
    std::istringstream w(want), g(got);
    std::string lw, lg;
    int line = 0, first = 0, differing = 0;
    std::string first_w, first_g;
    for (;;) {
        const bool hw = static_cast<bool>(std::getline(w, lw));
        const bool hg = static_cast<bool>(std::getline(g, lg));
        if (!hw && !hg) break;
        ++line;
        if (hw != hg || lw != lg) {
            if (differing++ == 0) {
                first = line;
                first_w = hw ? lw : "<end of file>";
                first_g = hg ? lg : "<end of drawing>";
            }
        }
    }
    return std::to_string(differing) + " line(s) differ; the first, line " + std::to_string(first) +
           ":\n  golden: " + first_w + "\n  drawn:  " + first_g;
}

}  // namespace tavo::testing
