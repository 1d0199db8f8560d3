// The window speaks Chinese throughout and shows its texts whole and legible.
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cerrno>
#include <functional>

#include "app/dir_list.h"
#include "app/messages.h"
#include "app/song_font.h"
#include "app/translations.h"
#include "qtdraw/qt_render.h"
#include "support/window_fixture.h"

using namespace tavo;
using tavo::testing::WindowFixture;

namespace {
const QString kYang = QStringLiteral("杨12-5.O00");

// The share of a picture's ink (pixels darker than the background) that is
// nearly black: faint, smeared glyphs have little of it.
double solid_share(const QImage& img) {
    int ink = 0, solid = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int g = qGray(img.pixel(x, y));
            if (g < 192) ++ink;
            if (g < 64) ++solid;
        }
    return ink ? double(solid) / ink : 0.0;
}
}  // namespace

class ChineseTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(load_chinese_translations(*QCoreApplication::instance())); }
    void questionsAreChineseAndDefaultToNo();
    void systemReasonsAreChinese();
    void listsShowFileNamesAsSpelt();
    void longTextsShowTheirBeginning();
    void failureMessageLastsOneAction();
    void viewTextIsDarkAndCrisp();
};

// The window's own question box: Qt's buttons in Chinese, Enter answers No.
void ChineseTest::questionsAreChineseAndDefaultToNo() {
    WindowFixture f;
    f.start();
    MainWindow fresh(f.data);  // with its own message boxes
    QString yes, no;
    bool no_is_default = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        yes = box->button(QMessageBox::Yes)->text();
        no = box->button(QMessageBox::No)->text();
        no_is_default = box->defaultButton() == box->button(QMessageBox::No);
        QTest::keyClick(box, Qt::Key_Return);
    });
    QVERIFY(!fresh.ask_yes_no(QStringLiteral("警告"), QStringLiteral("确实要删除x文件吗?")));
    QVERIFY2(yes.startsWith(QStringLiteral("是")) && no.startsWith(QStringLiteral("否")),
             qPrintable(yes + " " + no));
    QVERIFY(no_is_default);
}

void ChineseTest::systemReasonsAreChinese() {
    QCOMPARE(system_reason(ENOTDIR), QStringLiteral("不是文件夹"));
    QCOMPARE(system_reason(ENOSPC), QStringLiteral("磁盘空间不足"));
    QCOMPARE(system_reason(EACCES), QStringLiteral("没有权限"));
    QCOMPARE(system_reason(EROFS), QStringLiteral("只读文件系统"));
}

// A CJK sans face whose "O" and "0", "l" and "1" differ, with the underscore
// inside the row.
void ChineseTest::listsShowFileNamesAsSpelt() {
    WindowFixture f;
    f.start();
    QFile(f.data + "/x_y_z.o00").open(QIODevice::WriteOnly);
    f.w->File1->refresh();
    for (QWidget* list : {static_cast<QWidget*>(f.w->File1), static_cast<QWidget*>(f.w->Dir1)})
        QCOMPARE(QFontInfo(list->font()).family(), sans_family());
    const QFontMetrics fm(f.w->File1->font());
    QVERIFY(fm.horizontalAdvance('O') != fm.horizontalAdvance('0'));
    QVERIFY(fm.horizontalAdvance('l') != fm.horizontalAdvance('1'));
    const QRect row = f.w->File1->visualItemRect(f.item(QStringLiteral("x_y_z.o00")));
    const int text_top = (row.height() - fm.height()) / 2;
    QVERIFY(text_top + fm.ascent() + fm.underlinePos() + fm.lineWidth() <= row.height());
    // The frames keep the Song face.
    QCOMPARE(f.w->Frame1->font().family(), song_family());
}

// Boxes show the beginning of a long text; the status line ends a long
// message with "…" and keeps all of it in its tooltip.
void ChineseTest::longTextsShowTheirBeginning() {
    WindowFixture f;
    f.start();
    MainWindow& w = *f.w;
    const QString name = QString(60, QLatin1Char('a')) + QStringLiteral(".O00");
    QFile(f.data + "/" + name).open(QIODevice::WriteOnly);  // empty: not a tester file
    w.File1->refresh();
    f.press_file(name);
    QVERIFY(w.statusText().contains(f.data + "/" + name));
    QVERIFY(w.StatusLine->text().endsWith(QStringLiteral("…")));
    QCOMPARE(w.StatusLine->toolTip(), w.statusText());

    QFile::remove(f.data + "/" + name);
    QVERIFY(QFile::copy(f.data + "/" + kYang, f.data + "/" + name));
    f.press_file(name);
    QTest::mouseClick(w.Opt_fil[1], Qt::LeftButton);
    QCOMPARE(w.TxtOutFile->text(), f.data + "/" + name);
    QCOMPARE(w.TxtOutFile->cursorPosition(), 0);
}

// A failure message goes with the next action, whatever that action is.
void ChineseTest::failureMessageLastsOneAction() {
    WindowFixture f;
    f.start();
    MainWindow& w = *f.w;
    f.press_file(kYang);
    QFile(f.data + "/empty.O00").open(QIODevice::WriteOnly);
    w.File1->refresh();
    for (const auto& action : std::vector<std::function<void()>>{
             [&] { f.press_picture(); }, [&] { QTest::mouseClick(w.Opt_fil[1], Qt::LeftButton); }}) {
        f.press_file(QStringLiteral("empty.O00"));
        QVERIFY(w.StatusLine->property("failure").toBool());
        action();
        QVERIFY(!w.StatusLine->property("failure").toBool());
        QVERIFY(w.statusText().isEmpty());
    }
}

// At 100 % the drawing area's text is dark and crisp: the texts of the
// table alone, painted as the drawing area paints them.
void ChineseTest::viewTextIsDarkAndCrisp() {
    WindowFixture f;
    f.start();
    f.press_file(kYang);
    f.press_picture();  // the table: mostly text
    RecordingSurface texts(std::make_shared<QtTextMetrics>());
    for (const DrawOp& op : f.w->Picture1->surface().ops)
        if (op.kind == OpKind::Text && op.text.find_first_not_of(' ') != std::string::npos)
            texts.ops.push_back(op);
    QVERIFY(texts.ops.size() > 10);
    QImage pic(f.w->Picture1->size(), QImage::Format_RGB32);
    pic.fill(Qt::white);
    {
        QPainter p(&pic);
        paint_recording(p, texts, QSizeF(pic.size()));
    }
    // Smeared across pixel boundaries, under a tenth of the ink is nearly
    // black; fitted to the pixel grid, about a third.
    const double share = solid_share(pic);
    QVERIFY2(share > 0.2, qPrintable(QString::number(share)));
}

QTEST_MAIN(ChineseTest)
#include "app_chinese_test.moc"
