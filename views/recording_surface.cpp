#include "views/recording_surface.h"

#include "views/fixed_metrics.h"

namespace tavo {

namespace {
constexpr double kPointsPerMm = 72.0 / 25.4;
}

double FixedMetrics::text_width_pt(const std::string& text, const std::string&, double size_pt) const {
    double w = 0.0;
    for (unsigned char c : text) {
        if (c < 0x80)
            w += 0.5 * size_pt;
        else if ((c & 0xC0) == 0xC0)  // lead byte of a multi-byte character
            w += size_pt;
    }
    return w;
}

double FixedMetrics::line_height_pt(const std::string&, double size_pt) const {
    return 1.25 * size_pt;
}

const char* op_name(OpKind k) {
    switch (k) {
        case OpKind::Line:
            return "line";
        case OpKind::LineTo:
            return "line_to";
        case OpKind::Point:
            return "point";
        case OpKind::Rect:
            return "rect";
        case OpKind::Text:
            return "text";
    }
    return "?";
}

const char* unit_name(Unit u) {
    return u == Unit::Millimetre ? "mm" : "pt";
}
const char* style_name(LineStyle s) {
    return s == LineStyle::Solid ? "solid" : "dotted";
}

double to_points(double v, Unit u) {
    return u == Unit::Millimetre ? v * kPointsPerMm : v;
}
double from_points(double pt, Unit u) {
    return u == Unit::Millimetre ? pt / kPointsPerMm : pt;
}

RecordingSurface::RecordingSurface() : metrics_(std::make_shared<FixedMetrics>()) {}

RecordingSurface::RecordingSurface(std::shared_ptr<const TextMetrics> metrics)
    : metrics_(metrics ? std::move(metrics) : std::make_shared<FixedMetrics>()) {}

void RecordingSurface::set_unit(Unit u) {
    if (u == unit_) return;
    // The position stays where it is on the surface.
    x_ = from_points(to_points(x_, unit_), u);
    y_ = from_points(to_points(y_, unit_), u);
    unit_ = u;
}

void RecordingSurface::clear() {
    ops.clear();
    x_ = 0.0;
    y_ = 0.0;
}

DrawOp RecordingSurface::make(OpKind k) const {
    DrawOp op;
    op.kind = k;
    op.unit = unit_;
    op.color = color_;
    op.width = width_;
    op.style = style_;
    return op;
}

void RecordingSurface::line(double x1, double y1, double x2, double y2) {
    DrawOp op = make(OpKind::Line);
    op.x1 = x1, op.y1 = y1, op.x2 = x2, op.y2 = y2;
    ops.push_back(std::move(op));
    x_ = x2, y_ = y2;
}

void RecordingSurface::line_to(double x, double y) {
    DrawOp op = make(OpKind::LineTo);
    op.x1 = x_, op.y1 = y_, op.x2 = x, op.y2 = y;
    ops.push_back(std::move(op));
    x_ = x, y_ = y;
}

void RecordingSurface::point(double x, double y) {
    DrawOp op = make(OpKind::Point);
    op.x1 = op.x2 = x;
    op.y1 = op.y2 = y;
    ops.push_back(std::move(op));
    x_ = x, y_ = y;
}

void RecordingSurface::rect(double x1, double y1, double x2, double y2) {
    DrawOp op = make(OpKind::Rect);
    op.x1 = x1, op.y1 = y1, op.x2 = x2, op.y2 = y2;
    ops.push_back(std::move(op));
    x_ = x2, y_ = y2;
}

void RecordingSurface::set_text_pos(double x, double y) {
    x_ = x;
    y_ = y;
}

double RecordingSurface::text_width(const std::string& text) const {
    return from_points(metrics_->text_width_pt(text, font_, size_), unit_);
}

double RecordingSurface::line_height() const {
    return from_points(metrics_->line_height_pt(font_, size_), unit_);
}

void RecordingSurface::print(const std::string& text, bool end_line) {
    DrawOp op = make(OpKind::Text);
    op.x1 = op.x2 = x_;
    op.y1 = op.y2 = y_;
    op.text = text;
    op.font = font_;
    op.size = size_;
    op.end_line = end_line;
    op.advance = from_points(metrics_->text_width_pt(text, font_, size_), unit_);
    op.line_height = from_points(metrics_->line_height_pt(font_, size_), unit_);
    if (end_line) {
        x_ = 0.0;
        y_ += op.line_height;
    } else {
        x_ += op.advance;
    }
    ops.push_back(std::move(op));
}

}  // namespace tavo
