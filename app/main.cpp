#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include "app/trans_fom.h"
#include "app/translations.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tavo::load_chinese_translations(app);
    tavo::TransFom w;
    // Centred on the screen at start.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        w.move(area.center() - QPoint(w.width() / 2, w.height() / 2));
    }
    w.show();
    return app.exec();
}
