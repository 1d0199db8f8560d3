// Reading recorded drawing operations: picking them out, and writing them
// as text, one operation a line, for the golden files of the views.
#pragma once

#include <string>
#include <vector>

#include "views/recording_surface.h"

namespace tavo::testing {

std::vector<DrawOp> of_kind(const RecordingSurface& rec, OpKind k);
std::vector<std::string> texts(const RecordingSurface& rec);
// Text ops printed at (x, y), within a micrometre.
std::vector<DrawOp> texts_at(const RecordingSurface& rec, double x, double y);
// The one text at (x, y), or "<none>" / "<several>".
std::string text_at(const RecordingSurface& rec, double x, double y);
// The points and line segments of one colour: the curves.
std::vector<DrawOp> curve_ops(const RecordingSurface& rec, int color);

inline std::string blanks(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
}

// The operations as text, one a line. A line "unit", "pen" or "font" comes
// before the first operation and wherever that setting changes, so the
// operations themselves carry only their place and, for texts, the text:
//
//   unit mm
//   pen color 0 width 2 solid
//   rect 10 10 95 58
//   font 宋体 9
//   text 4 5.5 "电流(A) " advance 10.5 line 3.75 stay
//   point 10 31.2
//   line_to 10.0347 31.2
//
// Coordinates are rounded to 0.0001 of their unit. "stay": the next text
// continues on the same line. A line_to that does not start where the last
// point, line or rectangle ended says "from X Y".
std::string ops_text(const std::vector<DrawOp>& ops);

// Whether TAVO_UPDATE_GOLDEN asks the golden tests to rewrite their files.
bool golden_update_requested();

// Where two texts part: the first differing line of each, and how many differ.
std::string first_difference(const std::string& want, const std::string& got);

// A drawing's operations against their golden file tests/golden/drawings/NAME
// (rewritten instead when TAVO_UPDATE_GOLDEN asks): empty when they agree,
// else where they part.
std::string golden_drawing_mismatch(const RecordingSurface& rec, const std::string& name);

}  // namespace tavo::testing
