#include "app/song_font.h"

#include <QFontDatabase>
#include <QStringList>
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

QString sans_family() {
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char* name : {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Droid Sans Fallback"}) {
            if (installed.contains(QString::fromLatin1(name))) return QString::fromLatin1(name);
        }
        return QStringLiteral("WenQuanYi Micro Hei");  // left to fontconfig's substitution
    }();
    return family;
}

QFont sans_font(double points) {
    QFont f(sans_family());
    f.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    f.setWeight(QFont::Normal);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

}  // namespace tavo
