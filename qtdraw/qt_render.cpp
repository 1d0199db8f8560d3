#include "qtdraw/qt_render.h"

#include <QByteArray>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStringList>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "views/palette.h"

namespace tavo {

namespace {

constexpr double kPxPerMm = 96.0 / 25.4;
constexpr double kPxPerPt = 96.0 / 72.0;
const QColor kBackground(224, 224, 224);

double to_px(double v, Unit u) {
    return v * (u == Unit::Millimetre ? kPxPerMm : kPxPerPt);
}

QColor palette_color(int index) {
    const Rgb c = palette_rgb(index);
    return QColor(c.r, c.g, c.b);
}

// A 96-dpi device to measure on, whatever the screen says.
const QImage& reference_device() {
    static const QImage img = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        i.setDotsPerMeterX(3780);
        i.setDotsPerMeterY(3780);
        return i;
    }();
    return img;
}

QPen view_pen(const DrawOp& op) {
    QPen pen(palette_color(op.color));
    pen.setWidthF(op.width < 1 ? 1.0 : op.width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    // Wide pens draw solid, as on the drawing area of old.
    if (op.style == LineStyle::Dotted && op.width <= 1) pen.setDashPattern({1.0, 2.0});
    return pen;
}

}  // namespace

QString song_face_family() {
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        // AR PL UMing CN: a Ming (Song) face with simplified-Chinese forms
        // and Latin glyphs of its own.
        for (const char* name : {"AR PL UMing CN", "AR PL UMing TW", "AR PL SungtiL GB", "Noto Serif CJK SC",
                                 "Noto Sans CJK SC"}) {
            if (installed.contains(QString::fromLatin1(name))) return QString::fromLatin1(name);
        }
        return QStringLiteral("AR PL UMing CN");  // left to fontconfig's substitution
    }();
    return family;
}

QFont view_font(const std::string& face, double size_pt, const QPaintDevice* device) {
    const QString f = QString::fromStdString(face);
    QFont font(
        f.isEmpty() || f == QStringLiteral("宋体") || f == QStringLiteral("新宋体") ? song_face_family() : f);
    const double dpi = device ? device->logicalDpiY() : 96.0;
    font.setPointSizeF(std::max(0.5, size_pt) * 96.0 / (dpi > 0 ? dpi : 96.0));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    font.setStyleHint(QFont::Serif);
    return font;
}

// ---- metrics --------------------------------------------------------------

struct QtTextMetrics::Impl {
    std::map<std::pair<std::string, double>, QFontMetricsF> cache;
};

QtTextMetrics::QtTextMetrics() : impl_(std::make_unique<Impl>()) {}
QtTextMetrics::~QtTextMetrics() = default;

const QFontMetricsF& QtTextMetrics::metrics(const std::string& face, double size_pt) const {
    auto key = std::make_pair(face, size_pt);
    auto it = impl_->cache.find(key);
    if (it == impl_->cache.end()) {
        const QImage& dev = reference_device();
        it = impl_->cache.emplace(key, QFontMetricsF(view_font(face, size_pt, &dev), &dev)).first;
    }
    return it->second;
}

double QtTextMetrics::text_width_pt(const std::string& text, const std::string& face, double size_pt) const {
    return metrics(face, size_pt).horizontalAdvance(QString::fromStdString(text)) / kPxPerPt;
}

double QtTextMetrics::line_height_pt(const std::string& face, double size_pt) const {
    return metrics(face, size_pt).height() / kPxPerPt;
}

// ---- replay ---------------------------------------------------------------

void paint_recording(QPainter& p, const RecordingSurface& rec, const QSizeF& area, const QSizeF& base) {
    p.save();
    p.fillRect(QRectF(QPointF(0, 0), area), kBackground);
    const double k = std::min(area.width() / base.width(), area.height() / base.height());
    if (!(k > 0.0)) {
        p.restore();
        return;
    }
    p.setClipRect(QRectF(QPointF(0, 0), area), Qt::IntersectClip);
    p.scale(k, k);
    // Thin lines stay crisp at one device pixel a unit; finer devices get
    // smooth lines.
    const double device_scale = std::abs(p.deviceTransform().m11());
    const bool smooth = device_scale >= 1.5;
    p.setRenderHint(QPainter::Antialiasing, smooth);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setBrush(Qt::NoBrush);

    for (const DrawOp& op : rec.ops) {
        const QPointF a(to_px(op.x1, op.unit), to_px(op.y1, op.unit));
        const QPointF b(to_px(op.x2, op.unit), to_px(op.y2, op.unit));
        switch (op.kind) {
            case OpKind::Line:
            case OpKind::LineTo:
                p.setPen(view_pen(op));
                p.drawLine(a, b);
                break;
            case OpKind::Rect:
                p.setPen(view_pen(op));
                p.drawRect(QRectF(a, b).normalized());
                break;
            case OpKind::Point: {
                const double w = op.width < 1 ? 1.0 : op.width;
                p.fillRect(QRectF(a.x() - w / 2, a.y() - w / 2, w, w), palette_color(op.color));
                break;
            }
            case OpKind::Text: {
                if (op.text.empty()) break;
                QFont font = view_font(op.font, op.size, p.device());
                const QFontMetricsF fm(font, p.device());
                QPointF at(a.x(), a.y() + fm.ascent());
                if (!smooth) {
                    // At one device pixel a unit, glyphs fitted to the pixel
                    // grid on a whole-pixel baseline are as dark and crisp as
                    // the window's labels; the place of the text, measured
                    // without hinting, stays.
                    font.setHintingPreference(QFont::PreferFullHinting);
                    const QTransform& t = p.worldTransform();
                    const QPointF d = t.map(at);
                    at = t.inverted().map(QPointF(std::round(d.x()), std::round(d.y())));
                }
                p.setFont(font);
                p.setPen(palette_color(op.color));
                p.drawText(at, QString::fromStdString(op.text));
                break;
            }
        }
    }
    p.restore();
}

// ---- files ----------------------------------------------------------------

Problem save_recording(const RecordingSurface& rec, const std::string& path, double scale,
                       const QSizeF& base) {
    auto fail = [&](Problem::Kind kind, const std::string& detail = {}) {
        Problem p;
        p.kind = kind;
        p.path = path;
        p.detail = detail;
        return p;
    };
    if (!(scale > 0.0) || scale > 32.0) return fail(Problem::Kind::BadScale);
    const QString qpath = QString::fromStdString(path);
    const QString ext = QFileInfo(qpath).suffix().toLower();
    if (ext != "png" && ext != "svg" && ext != "pdf")
        return fail(Problem::Kind::UnknownPictureType, ext.toStdString());

    if (!(base.width() > 0.0 && base.height() > 0.0)) return fail(Problem::Kind::NoPictureSize);
    const QSizeF area(base.width() * scale, base.height() * scale);
    const QSize pixels(std::max(1, int(std::lround(area.width()))),
                       std::max(1, int(std::lround(area.height()))));
    QSaveFile file(qpath);
    if (!file.open(QIODevice::WriteOnly))
        return fail(Problem::Kind::CannotWriteFile, file.errorString().toStdString());

    bool painted = false;
    if (ext == "png") {
        QImage img(pixels, QImage::Format_RGB32);
        // The picture keeps the window's physical size; a larger scale is a
        // finer resolution.
        const int dpm = int(std::lround(3780.0 * scale));
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        img.fill(kBackground);
        {
            QPainter p(&img);
            paint_recording(p, rec, area, base);
        }
        painted = img.save(&file, "PNG");
    } else if (ext == "svg") {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(pixels);
        svg.setViewBox(QRectF(QPointF(0, 0), area));
        svg.setResolution(int(std::lround(96.0 * scale)));
        svg.setTitle(QStringLiteral("TAVO"));
        QPainter p;
        if (p.begin(&svg)) {
            paint_recording(p, rec, area, base);
            painted = p.end();
        }
    } else {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("TAVO"));
        const double mm_w = base.width() / kPxPerMm, mm_h = base.height() / kPxPerMm;
        pdf.setPageSize(
            QPageSize(QSizeF(mm_w, mm_h), QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(1200);
        QPainter p;
        if (p.begin(&pdf)) {
            // The base size across the page, whatever the scale.
            const double f = pdf.width() / area.width();
            p.scale(f, f);
            paint_recording(p, rec, area, base);
            painted = p.end();
        }
    }
    if (!painted) {
        file.cancelWriting();
        return fail(Problem::Kind::CannotDrawPicture);
    }
    if (!file.commit()) return fail(Problem::Kind::CannotWriteFile, file.errorString().toStdString());
    return {};
}

// ---- application ----------------------------------------------------------

namespace {
int g_argc = 1;
char g_name[] = "tavo-cli";
char* g_argv[] = {g_name, nullptr};
QtMessageHandler g_next_handler = nullptr;

// A command run from a plain shell or a service often has no session
// runtime folder; Qt's note that it picked one of its own is no news to
// the user of tavo-cli. Everything else goes on to Qt's own handler.
void quiet_runtime_dir(QtMsgType type, const QMessageLogContext& ctx, const QString& msg) {
    if (type == QtWarningMsg && msg.contains(QLatin1String("XDG_RUNTIME_DIR"))) return;
    if (g_next_handler) g_next_handler(type, ctx, msg);
}
}  // namespace

GuiSession::GuiSession() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!g_next_handler) g_next_handler = qInstallMessageHandler(quiet_runtime_dir);
    app_ = std::make_unique<QGuiApplication>(g_argc, g_argv);
}

GuiSession::~GuiSession() = default;

}  // namespace tavo
