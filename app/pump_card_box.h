// The section "泵功图" of the analysis panel: the pump card drawn over the
// surface card, its figures with their formulas as tooltips, the rod
// loading per taper and the pump-card diagnosis; without a record of the
// well, a note and the way to enter one.
#pragma once

#include <QGroupBox>
#include <QSizeF>
#include <map>
#include <memory>
#include <string>

#include "summary/analysis_summary.h"
#include "views/pump_card_view.h"

class QFormLayout;
class QLabel;
class QPushButton;

namespace tavo {

class RecordingSurface;

// The pump card over the surface card, replayed from its recorded drawing.
class PumpCardPicture : public QWidget {
    Q_OBJECT
public:
    explicit PumpCardPicture(QWidget* parent = nullptr);
    ~PumpCardPicture() override;
    void set_plot(const PumpCardPlot& plot);
    const RecordingSurface& drawing() const { return *rec_; }
    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int w) const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    std::unique_ptr<RecordingSurface> rec_;
};

class PumpCardBox : public QGroupBox {
    Q_OBJECT
public:
    explicit PumpCardBox(QWidget* parent = nullptr);

    // Shows the pump card of the analysis (or why there is none); an
    // analysis of nothing clears the section.
    void show_analysis(const summary::Analysis& a, bool analysed);

    QLabel* Note = nullptr;
    QLabel* Evidence = nullptr;
    PumpCardPicture* Picture = nullptr;
    QPushButton* EditRecord = nullptr;  // "井基础数据…"
    // The value label of a figure by its key ("pump.fillage", ...); null when not shown.
    QLabel* value(const std::string& key) const;

private:
    QFormLayout* form_ = nullptr;
    std::map<std::string, QLabel*> values_;
};

}  // namespace tavo
