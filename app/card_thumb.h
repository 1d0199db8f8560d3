// The card of the test drawn small in the analysis panel, with the points
// the diagnosis read; their figures in its tooltip.
#pragma once

#include <QWidget>
#include <memory>

#include "condition/card_diagnosis.h"

namespace tavo {

class RecordingSurface;

class CardThumb : public QWidget {
    Q_OBJECT
public:
    explicit CardThumb(QWidget* parent = nullptr);
    ~CardThumb() override;
    void set_card(const condition::CardDiagnosis& d);
    QSize sizeHint() const override { return {240, 130}; }
    const RecordingSurface& drawing() const { return *rec_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    std::unique_ptr<RecordingSurface> rec_;
};

}  // namespace tavo
