// The ring of views on the drawing area and the manual cycle length.
#include <QLineEdit>
#include <QScreen>
#include <QtTest>

#include "app/picture_widget.h"
#include "support/window_fixture.h"

using namespace tavo;
using tavo::testing::WindowFixture;

namespace {
const QString kYang = QStringLiteral("杨12-5.O00");

// Which view the recorded operations show, from its own texts.
QString view_shown(const RecordingSurface& rec) {
    bool any_text = false;
    for (const DrawOp& op : rec.ops) {
        if (op.kind != OpKind::Text) continue;
        any_text = true;
        if (op.text.find("井电能参数曲线") != std::string::npos) return QStringLiteral("chart");
        if (op.text.find("井电能参数") != std::string::npos) return QStringLiteral("table");
        if (op.text.find("行程(m)") != std::string::npos) return QStringLiteral("card");
    }
    return any_text ? QStringLiteral("other") : QStringLiteral("none");
}

// A chart line drawn for the given cycle: the chart's time axis depends on
// the cycle length, so two charts of different cycles differ.
std::vector<DrawOp> ops_of(const MainWindow& w) {
    return w.Picture1->surface().ops;
}

bool same_ops(const std::vector<DrawOp>& a, const std::vector<DrawOp>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].kind != b[i].kind || a[i].x1 != b[i].x1 || a[i].y1 != b[i].y1 || a[i].x2 != b[i].x2 ||
            a[i].y2 != b[i].y2 || a[i].text != b[i].text)
            return false;
    return true;
}

void enter_cycle(MainWindow& w, const QString& text) {
    w.CircleDot->clear();
    QTest::keyClicks(w.CircleDot, text);
    QTest::keyClick(w.CircleDot, Qt::Key_Return);
}
}  // namespace

class ViewsTest : public QObject {
    Q_OBJECT
private slots:
    void threePressesGoRoundTheRing();
    void enterAppliesACycleLength_data();
    void enterAppliesACycleLength();
    void manualEntryKeepsTheRingPosition();
    void failingViewLeavesTheModeAsItWas();
    void screenshotAfterAClick();
};

void ViewsTest::threePressesGoRoundTheRing() {
    WindowFixture f;
    f.start();
    f.press_file(kYang);
    MainWindow& w = *f.w;
    QCOMPARE(view_shown(w.Picture1->surface()), QStringLiteral("chart"));
    const auto chart = ops_of(w);

    f.press_picture();
    QCOMPARE(view_shown(w.Picture1->surface()), QStringLiteral("table"));
    QCOMPARE(w.session.Disp_Mode, int16_t(2));
    QCOMPARE(w.Picture1->toolTip(), QStringLiteral("单击此处可绘制示功图"));

    QTest::mouseClick(w.Picture1, Qt::RightButton);  // any button steps
    QCOMPARE(view_shown(w.Picture1->surface()), QStringLiteral("card"));
    QCOMPARE(w.session.Disp_Mode, int16_t(3));
    QCOMPARE(w.Picture1->toolTip(), QStringLiteral("单击此处可绘制电力曲线"));

    QTest::mouseClick(w.Picture1, Qt::MiddleButton);
    QCOMPARE(view_shown(w.Picture1->surface()), QStringLiteral("chart"));
    QCOMPARE(w.session.Disp_Mode, int16_t(1));
    QCOMPARE(w.Picture1->toolTip(), QStringLiteral("单击此处可显示电能数据"));
    QVERIFY(same_ops(chart, ops_of(w)));  // drawn again from the stored results
}

void ViewsTest::enterAppliesACycleLength_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("cycle");  // -1: unchanged
    QTest::newRow("leading zero") << "0600" << 600;
    QTest::newRow("half to even") << "2.5" << 2;
    QTest::newRow("upper end") << "3000" << 3000;
    QTest::newRow("3001") << "3001" << -1;
    QTest::newRow("zero") << "0" << -1;
    QTest::newRow("word") << "abc" << -1;
    QTest::newRow("negative") << "-5" << -1;
    QTest::newRow("just above") << "3000.5" << -1;
    QTest::newRow("half to even up") << "2999.5" << 3000;
}

void ViewsTest::enterAppliesACycleLength() {
    QFETCH(QString, typed);
    QFETCH(int, cycle);
    WindowFixture f;
    f.start();
    f.press_file(kYang);
    MainWindow& w = *f.w;
    const int16_t found = w.st.Circle_Num;
    const auto chart = ops_of(w);
    const float work = w.st.Sgt_Work;
    enter_cycle(w, typed);
    const int16_t expect = cycle < 0 ? found : int16_t(cycle);
    QCOMPARE(w.st.Circle_Num, expect);
    QCOMPARE(w.st.Pow_Circle_Num, expect);
    QCOMPARE(w.CircleDot->text(), typed);  // the box keeps what was typed
    QCOMPARE(w.session.Disp_Mode, int16_t(1));
    QCOMPARE(w.Picture1->toolTip(), QStringLiteral("单击此处可显示电能数据"));
    QCOMPARE(w.st.Sgt_Work, work);  // nothing recalculated
    QCOMPARE(view_shown(w.Picture1->surface()), QStringLiteral("chart"));
    if (cycle < 0 || cycle == found)
        QVERIFY(same_ops(chart, ops_of(w)));
    else
        QVERIFY(!same_ops(chart, ops_of(w)));
}

void ViewsTest::manualEntryKeepsTheRingPosition() {
    WindowFixture f;
    f.start();
    f.press_file(kYang);
    MainWindow& w = *f.w;
    f.press_picture();
    QCOMPARE(view_shown(w.Picture1->surface()), QStringLiteral("table"));
    enter_cycle(w, QStringLiteral("500"));
    QCOMPARE(view_shown(w.Picture1->surface()), QStringLiteral("chart"));
    QCOMPARE(w.session.Disp_Mode, int16_t(2));
    QCOMPARE(w.Picture1->toolTip(), QStringLiteral("单击此处可绘制示功图"));
    f.press_picture();
    QCOMPARE(view_shown(w.Picture1->surface()), QStringLiteral("card"));
    QCOMPARE(w.session.Disp_Mode, int16_t(3));
}

void ViewsTest::failingViewLeavesTheModeAsItWas() {
    WindowFixture f;
    f.start();
    f.press_file(kYang);
    MainWindow& w = *f.w;
    f.press_picture();
    // A recording-speed factor whose period does not fit 16 bits fails the card.
    w.Rec_Spd->setText(QStringLiteral("99"));
    f.press_picture();
    QCOMPARE(w.session.Disp_Mode, int16_t(2));
    QCOMPARE(w.Picture1->toolTip(), QStringLiteral("单击此处可绘制示功图"));
    QCOMPARE(view_shown(w.Picture1->surface()), QStringLiteral("table"));
    QVERIFY(f.errors.isEmpty());
    w.Rec_Spd->setText(QStringLiteral("1"));
    f.press_picture();  // the same view again
    QCOMPARE(view_shown(w.Picture1->surface()), QStringLiteral("card"));
}

// Set TAVO_SCREENSHOT to a PNG path to keep a picture of the window.
void ViewsTest::screenshotAfterAClick() {
    WindowFixture f;
    f.start();
    f.press_file(kYang);
    const QImage shot = f.w->grab().toImage();
    QCOMPARE(shot.size() / shot.devicePixelRatio(), f.w->size());
    // The drawing area is not blank: the chart's curves are coloured.
    const QImage pic = f.w->Picture1->image();
    int coloured = 0;
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x) {
            const QColor c = pic.pixelColor(x, y);
            if (c.red() != c.green() || c.green() != c.blue()) ++coloured;
        }
    QVERIFY(coloured > 200);
    if (qEnvironmentVariableIsSet("TAVO_SCREENSHOT")) {
        // Under a display server, the pixels the server holds for the window.
        QTest::qWait(1500);
        const QPixmap screen = f.w->screen()->grabWindow(f.w->winId());
        QVERIFY((screen.isNull() ? shot : screen.toImage()).save(qEnvironmentVariable("TAVO_SCREENSHOT")));
    }
}

QTEST_MAIN(ViewsTest)
#include "app_views_test.moc"
