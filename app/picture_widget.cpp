#include "app/picture_widget.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "qtdraw/qt_render.h"

namespace tavo {
namespace {
const QColor kBackground(224, 224, 224);

void paint_picture(QPainter& p, const RecordingSurface& rec, const QSizeF& area) {
    p.fillRect(QRectF(QPointF(0, 0), area), kBackground);
    paint_recording(p, rec, area);
}
}  // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    surface_ = std::make_unique<RecordingSurface>(std::make_shared<QtTextMetrics>());
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    setPalette(pal);
    setAutoFillBackground(true);
}

PictureBox::~PictureBox() = default;

QImage PictureBox::image(double scale) const {
    QImage img((QSizeF(size()) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(scale);
    QPainter p(&img);
    paint_picture(p, *surface_, QSizeF(size()));
    return img;
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paint_picture(p, *surface_, QSizeF(size()));
}

void PictureBox::mousePressEvent(QMouseEvent* e) {
    e->accept();
    emit mouseDown(e->button());
}

}  // namespace tavo
