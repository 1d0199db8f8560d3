// Picture1: the drawing area. The views draw on a recording surface that
// this widget owns; painting replays the recorded operations.
#pragma once

#include <QWidget>
#include <memory>

#include "views/recording_surface.h"

namespace tavo {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    RecordingSurface& surface() { return *surface_; }
    const RecordingSurface& surface() const { return *surface_; }

    // The picture as it is painted now, at the given scale.
    QImage image(double scale = 1.0) const;

signals:
    void mouseDown(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    std::unique_ptr<RecordingSurface> surface_;
};

}  // namespace tavo
