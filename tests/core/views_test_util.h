// Helpers for the view tests: picking recorded operations.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "record/state.h"
#include "views/recording_surface.h"

namespace tavo::test {

inline std::vector<DrawOp> of_kind(const RecordingSurface& rec, OpKind k) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : rec.ops)
        if (op.kind == k) out.push_back(op);
    return out;
}

inline std::vector<std::string> texts(const RecordingSurface& rec) {
    std::vector<std::string> out;
    for (const DrawOp& op : rec.ops)
        if (op.kind == OpKind::Text) out.push_back(op.text);
    return out;
}

// Text ops printed at (x, y), within a micrometre.
inline std::vector<DrawOp> texts_at(const RecordingSurface& rec, double x, double y) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : rec.ops)
        if (op.kind == OpKind::Text && std::abs(op.x1 - x) < 1e-6 && std::abs(op.y1 - y) < 1e-6)
            out.push_back(op);
    return out;
}

// The one text at (x, y), or "<none>" / "<several>".
inline std::string text_at(const RecordingSurface& rec, double x, double y) {
    const auto t = texts_at(rec, x, y);
    if (t.empty()) return "<none>";
    if (t.size() > 1) return "<several>";
    return t[0].text;
}

inline std::vector<DrawOp> curve_ops(const RecordingSurface& rec, int color) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : rec.ops)
        if ((op.kind == OpKind::Point || op.kind == OpKind::LineTo) && op.color == color) out.push_back(op);
    return out;
}

inline std::string blanks(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
}

}  // namespace tavo::test
