// A window on a temporary data directory holding copies of the sample tests,
// with its message boxes answered by the test.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>

#include "app/file_list.h"
#include "app/main_window.h"
#include "app/picture_widget.h"
#include "common/text.h"

namespace tavo::testing {

inline QString samples_dir() {
    return QStringLiteral(TAVO_SOURCE_DIR "/samples");
}

struct WindowFixture {
    QTemporaryDir tmp;
    QString data;
    std::unique_ptr<MainWindow> w;
    QStringList questions;  // "title|text" of every Yes/No question
    QStringList errors;     // "title|text" of every error box
    bool answer = true;

    // Copies the samples into <tmp>/data (unless `copy` is false) and opens the window.
    void start(bool copy = true) {
        data = tmp.filePath(QStringLiteral("data"));
        if (copy) {
            QDir().mkpath(data);
            for (const QString& n : QDir(samples_dir()).entryList(QDir::Files))
                QFile::copy(QDir(samples_dir()).filePath(n), QDir(data).filePath(n));
        }
        w = std::make_unique<MainWindow>(data);
        w->ask_yes_no = [this](const QString& t, const QString& x) {
            questions << t + QLatin1Char('|') + x;
            return answer;
        };
        w->show_error = [this](const QString& t, const QString& x) { errors << t + QLatin1Char('|') + x; };
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }

    QListWidgetItem* item(const QString& name) const {
        const auto found = w->File1->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }

    // Presses the mouse on a listed file as the user would.
    void press_file(const QString& name, Qt::MouseButton b = Qt::LeftButton,
                    Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QListWidgetItem* it = item(name);
        QVERIFY2(it, qPrintable(QStringLiteral("not listed: ") + name));
        const QPoint at = w->File1->visualItemRect(it).center();
        QTest::mousePress(w->File1->viewport(), b, mods, at);
        QTest::mouseRelease(w->File1->viewport(), b, mods, at);
    }

    void press_picture() { QTest::mouseClick(w->Picture1, Qt::LeftButton, {}, QPoint(50, 50)); }

    // The text of a file written in code page 936.
    static QString gbk_file(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return {};
        const QByteArray b = f.readAll();
        return QString::fromStdString(gbk_to_utf8(std::string_view(b.constData(), size_t(b.size()))));
    }

    static QByteArray bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

}  // namespace tavo::testing
