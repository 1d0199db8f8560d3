// Qt side of the drawing surface: real font metrics, replay of the recorded
// operations on a painter, and PNG, SVG and PDF files.
//
// The drawing area is 6015 x 3615 twips, 401 x 241 logical pixels at 96 dots
// an inch (1 mm = 96 / 25.4 px, 1 pt = 96 / 72 px). Larger areas are scaled
// uniformly from the top-left corner.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QSizeF>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "common/problem.h"
#include "views/recording_surface.h"
#include "views/surface.h"

class QGuiApplication;
class QPainter;
class QPaintDevice;

namespace tavo {

constexpr double kPictureWidthPx = 401.0;   // 6015 twips
constexpr double kPictureHeightPx = 241.0;  // 3615 twips

// The installed family that stands for the face "宋体" (a Song/Ming face).
QString song_face_family();

// The font of a view text at `size_pt` points, sized for `device` so that it
// is size_pt * 96 / 72 units high in the device's logical coordinates.
QFont view_font(const std::string& face, double size_pt, const QPaintDevice* device = nullptr);

// Measures texts with the fonts the drawing area paints with, at 96 dpi and
// without hinting, so that the widths scale with the picture.
class QtTextMetrics : public TextMetrics {
public:
    QtTextMetrics();
    ~QtTextMetrics() override;
    double text_width_pt(const std::string& text, const std::string& face, double size_pt) const override;
    double line_height_pt(const std::string& face, double size_pt) const override;

private:
    const QFontMetricsF& metrics(const std::string& face, double size_pt) const;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The drawing area's size in logical pixels.
inline QSizeF picture_size() {
    return QSizeF(kPictureWidthPx, kPictureHeightPx);
}

// Paints the background and replays `rec` into an area of `area` logical
// pixels of the painter; a drawing made for `base` logical pixels is scaled
// uniformly to fit.
void paint_recording(QPainter& p, const RecordingSurface& rec, const QSizeF& area,
                     const QSizeF& base = picture_size());

// Writes the picture at `scale` times `base` (the window's drawing area
// unless said): PNG, SVG or PDF by the extension of `path`; a problem when
// it is not written.
Problem save_recording(const RecordingSurface& rec, const std::string& path, double scale,
                       const QSizeF& base = picture_size());

// Makes sure a QGuiApplication exists while it lives (fonts need one); with
// no platform chosen it runs on the offscreen platform.
class GuiSession {
public:
    GuiSession();
    ~GuiSession();
    GuiSession(const GuiSession&) = delete;
    GuiSession& operator=(const GuiSession&) = delete;

private:
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace tavo
