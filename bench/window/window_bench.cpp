// The window's speed, offscreen: a click on a file to its chart painted, and
// the window's start-up.
//
//   tavo_window_bench                   Qt benchmarks (click to chart, window start)
//   tavo_window_bench --startup         one start of the process to the first shown
//                                       and painted window, in ms; the launch time is
//                                       taken from TAVO_LAUNCH_NS (CLOCK_REALTIME ns)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "app/file_list.h"
#include "app/picture_widget.h"
#include "app/trans_fom.h"

namespace {

QString samples_dir() {
    return QStringLiteral(TAVO_SOURCE_DIR "/samples");
}

void copy_samples(const QString& data) {
    QDir().mkpath(data);
    for (const QString& n : QDir(samples_dir()).entryList(QDir::Files))
        QFile::copy(QDir(samples_dir()).filePath(n), QDir(data).filePath(n));
}

void click(tavo::TransFom& w, const QString& name) {
    const auto found = w.File1->findItems(name, Qt::MatchExactly);
    if (found.isEmpty()) qFatal("not listed: %s", qPrintable(name));
    const QPoint at = w.File1->visualItemRect(found.first()).center();
    QTest::mousePress(w.File1->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(w.File1->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class WindowBench : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    QString data;

private slots:
    void initTestCase() {
        data = tmp.filePath(QStringLiteral("data"));
        copy_samples(data);
    }

    // Press and release on a file, the analysis, and the chart painted
    // (repaint() paints at once); two files alternate so every click
    // changes the chart.
    void clickToChart_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("3000 samples") << QStringLiteral("杨12-5.O00") << QStringLiteral("北3-17.O01");
        QTest::newRow("2000 samples") << QStringLiteral("杨15-9.O03") << QStringLiteral("港2-34.O00");
    }
    void clickToChart() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        tavo::TransFom w(data);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        bool odd = false;
        QBENCHMARK {
            click(w, odd ? first : second);
            w.Picture1->repaint();
            odd = !odd;
        }
    }

    // The window built, shown and painted once.
    void windowStart() {
        QBENCHMARK {
            tavo::TransFom w(data);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.repaint();
        }
    }
};

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--startup") == 0) {
        const char* launch = std::getenv("TAVO_LAUNCH_NS");
        QApplication app(argc, argv);
        QTemporaryDir tmp;
        const QString data = tmp.filePath(QStringLiteral("data"));
        copy_samples(data);
        tavo::TransFom w(data);
        w.show();
        if (!QTest::qWaitForWindowExposed(&w)) return 1;
        w.repaint();
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        if (launch) {
            const double ns = static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec) -
                              std::strtod(launch, nullptr);
            std::printf("%.1f\n", ns / 1e6);
        }
        return 0;
    }
    QApplication app(argc, argv);
    WindowBench bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "window_bench.moc"
