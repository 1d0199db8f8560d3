#include "app/card_thumb.h"

#include <QPainter>
#include <QStringList>

#include "qtdraw/qt_render.h"
#include "views/card_thumb_view.h"
#include "views/recording_surface.h"

namespace tavo {

namespace {

constexpr double kPxPerMm = 96.0 / 25.4;

}  // namespace

CardThumb::CardThumb(QWidget* parent)
    : QWidget(parent), rec_(std::make_unique<RecordingSurface>(std::make_shared<QtTextMetrics>())) {
    setMinimumSize(200, 110);
    setObjectName(QStringLiteral("CardThumb"));
    set_card({});
}

CardThumb::~CardThumb() = default;

void CardThumb::set_card(const condition::CardDiagnosis& d) {
    CardThumbPlot plot{d.pos, d.load, {}};
    QStringList marks;
    for (const condition::CardMark& m : d.marks) {
        plot.marks.emplace_back(m.pos, m.load);
        marks << QStringLiteral("%1：%2 m，%3 kN")
                     .arg(QString::fromStdString(m.what))
                     .arg(m.pos, 0, 'f', 2)
                     .arg(m.load, 0, 'f', 1);
    }
    draw_card_thumb(*rec_, plot);
    setToolTip(marks.isEmpty()
                   ? QStringLiteral("没有示功图")
                   : QStringLiteral("诊断所用的示功图点（红圈）：\n") + marks.join(QLatin1Char('\n')));
    update();
}

void CardThumb::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paint_recording(p, *rec_, QSizeF(size()),
                    QSizeF(kCardThumbWidthMm * kPxPerMm, kCardThumbHeightMm * kPxPerMm));
}

}  // namespace tavo
