// The comparison of several tests in a window of its own.
#pragma once

#include <QDialog>
#include <QSizeF>
#include <memory>
#include <vector>

#include "views/compare_view.h"

namespace tavo {

class RecordingSurface;

class CompareWindow : public QDialog {
    Q_OBJECT
public:
    CompareWindow(const std::vector<CompareTest>& tests, QWidget* parent);
    ~CompareWindow() override;
    const RecordingSurface& drawing() const { return *rec_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    std::unique_ptr<RecordingSurface> rec_;
    QSizeF base_;
};

}  // namespace tavo
