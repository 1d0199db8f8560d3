// The abstract drawing surface the views draw on.
//
// User units are millimetres or points, origin top left, y downwards. The
// current point is where the last line or point ended; the current text
// position is read and set explicitly. Text positions are the top-left
// corner of the printed text.
#pragma once

#include <string>

namespace tavo {

enum class Unit { Millimetre, Point };
enum class LineStyle { Solid, Dotted };

// Text measurement for the surface's font, in points.
class TextMetrics {
public:
    virtual ~TextMetrics() = default;
    virtual double text_width_pt(const std::string& text, const std::string& face, double size_pt) const = 0;
    virtual double line_height_pt(const std::string& face, double size_pt) const = 0;
};

class Surface {
public:
    virtual ~Surface() = default;

    virtual void set_unit(Unit u) = 0;
    virtual Unit unit() const = 0;
    // Clears the drawing and resets the current and text positions to (0, 0).
    virtual void clear() = 0;
    virtual void set_color(int palette_index) = 0;  // 16-colour palette
    virtual void set_line_width(int w) = 0;         // 1 or 2
    virtual void set_line_style(LineStyle s) = 0;
    virtual void set_font(const std::string& face) = 0;
    virtual void set_font_size(double size_pt) = 0;
    virtual double font_size() const = 0;
    // What a text would take in the current font, in the current unit.
    virtual double text_width(const std::string& text) const = 0;
    virtual double line_height() const = 0;

    virtual void line(double x1, double y1, double x2, double y2) = 0;
    virtual void line_to(double x, double y) = 0;  // from the current point
    virtual void point(double x, double y) = 0;
    virtual void rect(double x1, double y1, double x2, double y2) = 0;  // outline

    virtual double text_x() const = 0;
    virtual double text_y() const = 0;
    virtual void set_text_pos(double x, double y) = 0;
    // Prints at the text position. Staying on the line moves the position to
    // the end of the text; ending it goes back to x = 0 and down one line.
    virtual void print(const std::string& text, bool end_line) = 0;
};

}  // namespace tavo
