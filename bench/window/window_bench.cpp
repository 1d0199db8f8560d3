// The window's speed, offscreen: a click on a file to its chart painted, and
// the window's start-up.
//
//   tavo_window_bench                   Qt benchmarks (click to chart, window start)
//   tavo_window_bench --startup         one start of the process to the first shown
//                                       and painted window, in ms; the launch time is
//                                       taken from TAVO_LAUNCH_NS (CLOCK_REALTIME ns)
#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "support/window_fixture.h"

using tavo::testing::WindowFixture;

class WindowBench : public QObject {
    Q_OBJECT
    WindowFixture f;

private slots:
    void initTestCase() { f.start(); }

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
        bool odd = false;
        QBENCHMARK {
            f.press_file(odd ? first : second);
            f.w->Picture1->repaint();
            odd = !odd;
        }
    }

    // The window built, shown and painted once.
    void windowStart() {
        QBENCHMARK {
            tavo::MainWindow w(f.data);
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
        WindowFixture f;
        f.start();  // the samples copied, the window shown
        if (!f.w || !f.w->isVisible()) return 1;
        f.w->repaint();
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
