// A drawing surface that keeps every operation instead of drawing it.
//
// The window holds one as its drawing area and repaints by replaying the
// operations; the tests and the command line read them directly. Clearing
// drops the operations but keeps the pen, line and font settings, as a
// cleared drawing area keeps its colour and font.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "views/surface.h"

namespace tavo {

enum class OpKind { Line, LineTo, Point, Rect, Text };

struct DrawOp {
    OpKind kind = OpKind::Line;
    Unit unit = Unit::Millimetre;
    // Line, LineTo, Rect: from (x1, y1) to (x2, y2); LineTo starts at the
    // current point. Point and Text: at (x1, y1), the text's top-left corner.
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    int color = 0;  // palette index
    int width = 1;
    LineStyle style = LineStyle::Solid;
    // Text only.
    std::string text;
    std::string font;
    double size = 0.0;  // points
    bool end_line = false;
    double advance = 0.0;      // width of the text, user units
    double line_height = 0.0;  // height of the font's line, user units

    friend bool operator==(const DrawOp&, const DrawOp&) = default;
};

const char* op_name(OpKind k);
const char* unit_name(Unit u);
const char* style_name(LineStyle s);

// Millimetres or points to points, and back.
double to_points(double v, Unit u);
double from_points(double pt, Unit u);

class RecordingSurface : public Surface {
public:
    // Fixed metrics (see views/fixed_metrics.h).
    RecordingSurface();
    explicit RecordingSurface(std::shared_ptr<const TextMetrics> metrics);

    std::vector<DrawOp> ops;

    void set_unit(Unit u) override;
    Unit unit() const override { return unit_; }
    void clear() override;
    void set_color(int palette_index) override { color_ = palette_index; }
    void set_line_width(int w) override { width_ = w; }
    void set_line_style(LineStyle s) override { style_ = s; }
    void set_font(const std::string& face) override { font_ = face; }
    void set_font_size(double size_pt) override { size_ = size_pt; }

    void line(double x1, double y1, double x2, double y2) override;
    void line_to(double x, double y) override;
    void point(double x, double y) override;
    void rect(double x1, double y1, double x2, double y2) override;

    double text_x() const override { return x_; }
    double text_y() const override { return y_; }
    void set_text_pos(double x, double y) override;
    void print(const std::string& text, bool end_line) override;

    int color() const { return color_; }
    int line_width() const { return width_; }
    LineStyle line_style() const { return style_; }
    const std::string& font() const { return font_; }
    double font_size() const override { return size_; }
    double text_width(const std::string& text) const override;
    double line_height() const override;
    const TextMetrics& metrics() const { return *metrics_; }

private:
    DrawOp make(OpKind k) const;

    std::shared_ptr<const TextMetrics> metrics_;
    Unit unit_ = Unit::Millimetre;
    int color_ = 0;
    int width_ = 1;
    LineStyle style_ = LineStyle::Solid;
    std::string font_ = "宋体";
    double size_ = 9.0;
    // One current position serves lines, points and texts.
    double x_ = 0.0, y_ = 0.0;
};

}  // namespace tavo
