#include "app/song_font.h"

#include <cmath>

#include "qtdraw/qt_render.h"

namespace tavo {

// The same face the drawing area paints "宋体" with.
QString song_family() {
    return song_face_family();
}

QFont song_font(double points) {
    QFont f(song_family());
    f.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    f.setWeight(QFont::Normal);
    f.setStyleHint(QFont::Serif);
    return f;
}

}  // namespace tavo
