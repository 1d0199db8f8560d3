#include "app/compare_window.h"

#include <QPainter>
#include <cmath>

#include "qtdraw/qt_render.h"
#include "views/recording_surface.h"

namespace tavo {

CompareWindow::CompareWindow(const std::vector<CompareTest>& tests, QWidget* parent)
    : QDialog(parent), rec_(std::make_unique<RecordingSurface>(std::make_shared<QtTextMetrics>())) {
    setObjectName(QStringLiteral("CompareWindow"));
    setWindowTitle(QStringLiteral("测试对比"));
    setModal(false);
    draw_compare(*rec_, tests);
    const CompareSize size = compare_size(int(tests.size()));
    constexpr double px_per_mm = 96.0 / 25.4;
    base_ = QSizeF(size.width_mm * px_per_mm, size.height_mm * px_per_mm);
    resize(int(std::lround(base_.width())), int(std::lround(base_.height())));
}

CompareWindow::~CompareWindow() = default;

void CompareWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paint_recording(p, *rec_, QSizeF(size()), base_);
}

}  // namespace tavo
