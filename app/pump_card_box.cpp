#include "app/pump_card_box.h"

#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "qtdraw/qt_render.h"
#include "summary/pump_summary.h"
#include "views/recording_surface.h"

namespace tavo {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr double kPxPerMm = 96.0 / 25.4;

QSizeF base_size() {
    return {kPumpCardWidthMm * kPxPerMm, kPumpCardHeightMm * kPxPerMm};
}

}  // namespace

// ---- the picture ------------------------------------------------------------

PumpCardPicture::PumpCardPicture(QWidget* parent)
    : QWidget(parent), rec_(std::make_unique<RecordingSurface>(std::make_shared<QtTextMetrics>())) {
    setObjectName(QStringLiteral("PumpCardPicture"));
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setMinimumSize(240, 175);
}

PumpCardPicture::~PumpCardPicture() = default;

void PumpCardPicture::set_plot(const PumpCardPlot& plot) {
    draw_pump_card(*rec_, plot);
    update();
}

QSize PumpCardPicture::sizeHint() const {
    return base_size().toSize();
}

int PumpCardPicture::heightForWidth(int w) const {
    return int(std::lround(w * kPumpCardHeightMm / kPumpCardWidthMm));
}

void PumpCardPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paint_recording(p, *rec_, QSizeF(size()), base_size());
}

// ---- the section --------------------------------------------------------------

PumpCardBox::PumpCardBox(QWidget* parent) : QGroupBox(QStringLiteral("泵功图"), parent) {
    setObjectName(QStringLiteral("Section3"));
    auto* lay = new QVBoxLayout(this);
    Note = new QLabel;
    Note->setObjectName(QStringLiteral("PumpNote"));
    Note->setWordWrap(true);
    lay->addWidget(Note);
    Picture = new PumpCardPicture;
    lay->addWidget(Picture);
    form_ = new QFormLayout;
    lay->addLayout(form_);
    Evidence = new QLabel;
    Evidence->setObjectName(QStringLiteral("PumpEvidence"));
    Evidence->setWordWrap(true);
    Evidence->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lay->addWidget(Evidence);
    EditRecord = new QPushButton(QStringLiteral("井基础数据…"));
    EditRecord->setObjectName(QStringLiteral("EditWellRecord"));
    EditRecord->setToolTip(QStringLiteral(
        "录入或修改当前测试所属井的杆柱、泵、油管、流体和压力数据；保存后立即按新数据重新计算泵功图"));
    lay->addWidget(EditRecord, 0, Qt::AlignLeft);
    show_analysis({}, false);
}

QLabel* PumpCardBox::value(const std::string& key) const {
    const auto it = values_.find(key);
    return it == values_.end() ? nullptr : it->second;
}

void PumpCardBox::show_analysis(const summary::Analysis& a, bool analysed) {
    while (form_->rowCount() > 0) form_->removeRow(0);
    values_.clear();
    EditRecord->setEnabled(analysed && !a.well.empty());
    if (!analysed) {
        Note->setText(QStringLiteral("没有分析结果。"));
        Evidence->clear();
        Picture->set_plot({});
        Picture->hide();
        return;
    }
    const summary::Section s = summary::pump_section(a.pump, a.well, a.card);
    Note->setText(q(s.note));
    Note->setVisible(!s.note.empty());
    const bool have = a.pump && a.pump->ok();
    Picture->set_plot(have ? summary::pump_card_plot(*a.pump) : PumpCardPlot{});
    Picture->setVisible(have);
    for (const summary::Figure& f : s.figures) {
        auto* label = new QLabel(q(f.label));
        auto* v = new QLabel(q(f.value));
        v->setObjectName(q(f.key));
        label->setToolTip(q(f.how));
        v->setToolTip(q(f.how));
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form_->addRow(label, v);
        values_[f.key] = v;
    }
    QStringList ev;
    for (const std::string& e : s.evidence) ev << QStringLiteral("· ") + q(e);
    Evidence->setText(ev.join(QLatin1Char('\n')));
    Evidence->setVisible(!ev.isEmpty());
}

}  // namespace tavo
