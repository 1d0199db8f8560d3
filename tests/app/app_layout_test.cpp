// The window's controls as designed, and what start-up leaves in them.
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/dir_list.h"
#include "app/paths.h"
#include "app/picture_widget.h"
#include "app/song_font.h"
#include "support/window_fixture.h"

using namespace tavo;
using tavo::testing::WindowFixture;

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartCreatesTheDataDirectory();
    void controlsSitWhereDesigned_data();
    void controlsSitWhereDesigned();
    void captionsTextsAndTooltips();
    void songFaceHasEveryGlyph();
    void pathsJoinAndRebuildSuffix();
    void exitButtonClosesTheWindow();
};

void LayoutTest::firstStartCreatesTheDataDirectory() {
    WindowFixture f;
    f.start(false);
    QVERIFY(QDir(f.data).exists());
    QCOMPARE(f.w->Dir1->path(), f.data);
    QCOMPARE(f.w->File1->path(), f.data);
    QCOMPARE(f.w->File1->count(), 0);
    QCOMPARE(f.w->TxtOutFile->text(), f.data + QStringLiteral("/OutDataFile.Txt"));
    QCOMPARE(f.w->File1->pattern(), QStringLiteral("*.o*"));
    QCOMPARE(f.w->Frame1->title(), QStringLiteral("联合测试文件"));
    QVERIFY(!f.w->Frame3->isEnabled());
    QVERIFY(f.w->Opt_fil[0]->isChecked());
    QCOMPARE(f.w->session.Disp_Mode, int16_t(0));
    QCOMPARE(f.w->statusText(), QString());
    // Nothing analysed: a press on the drawing area draws nothing.
    f.press_picture();
    QCOMPARE(f.w->session.Disp_Mode, int16_t(0));
    QVERIFY(f.w->Picture1->surface().ops.empty());
    QCOMPARE(f.w->Picture1->toolTip(), QString());
}

void LayoutTest::controlsSitWhereDesigned_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("px");
    // Twips of the design divided by 15.
    QTest::newRow("Frame1") << "Frame1" << QRect(8, 8, 193, 313);
    QTest::newRow("Dir1") << "Dir1" << QRect(8, 16, 177, 76);
    QTest::newRow("File1") << "File1" << QRect(8, 94, 179, 210);
    QTest::newRow("Picture1") << "Picture1" << QRect(216, 16, 401, 241);
    QTest::newRow("Chk_SGT") << "Chk_SGT" << QRect(216, 264, 113, 17);
    QTest::newRow("Chk_POW") << "Chk_POW" << QRect(336, 264, 121, 17);
    QTest::newRow("Frame3") << "Frame3" << QRect(216, 280, 401, 41);
    QTest::newRow("CircleDot") << "CircleDot" << QRect(32, 16, 41, 18);
    QTest::newRow("Rec_Spd") << "Rec_Spd" << QRect(120, 16, 17, 18);
    QTest::newRow("Txt_WellName") << "Txt_WellName" << QRect(176, 16, 73, 18);
    QTest::newRow("Txt_TestTime") << "Txt_TestTime" << QRect(304, 16, 89, 18);
    QTest::newRow("Frame2") << "Frame2" << QRect(8, 328, 497, 65);
    QTest::newRow("Opt_fil_0") << "Opt_fil_0" << QRect(16, 16, 121, 17);
    QTest::newRow("Opt_fil_3") << "Opt_fil_3" << QRect(408, 16, 73, 17);
    QTest::newRow("TxtOutFile") << "TxtOutFile" << QRect(16, 40, 393, 18);
    QTest::newRow("CmdOutFile") << "CmdOutFile" << QRect(416, 40, 65, 17);
    QTest::newRow("Command2") << "Command2" << QRect(536, 352, 65, 33);
}

void LayoutTest::controlsSitWhereDesigned() {
    QFETCH(QString, name);
    QFETCH(QRect, px);
    WindowFixture f;
    f.start(false);
    auto* c = f.w->findChild<QWidget*>(name);
    QVERIFY(c);
    QCOMPARE(c->geometry(), px);
    // The client area is 9405 x 5985 twips, with the status line below it.
    QCOMPARE(f.w->width(), 627);
    QVERIFY(f.w->height() > 399);
    QCOMPARE(f.w->StatusLine->geometry().top(), 399);
}

void LayoutTest::captionsTextsAndTooltips() {
    WindowFixture f;
    f.start(false);
    MainWindow& w = *f.w;
    QCOMPARE(w.windowTitle(), QStringLiteral("TAVO仪器测试数据显示转换程序 Ver3.20[20050618]"));
    QCOMPARE(w.Label1->text(), QStringLiteral("周期"));
    QCOMPARE(w.Label2->text(), QStringLiteral("平均点"));
    QCOMPARE(w.Label3->text(), QStringLiteral("井号"));
    QCOMPARE(w.Label4->text(), QStringLiteral("测试日期"));
    QCOMPARE(w.Chk_SGT->text(), QStringLiteral("锁定示功图数据"));
    QCOMPARE(w.Chk_POW->text(), QStringLiteral("锁定电能测量数据"));
    QCOMPARE(w.Frame2->title(), QStringLiteral("数据文件导出"));
    QCOMPARE(w.Frame3->title(), QString());
    QCOMPARE(w.Opt_fil[0]->text(), QStringLiteral("转换到Quenta格式"));
    QCOMPARE(w.Opt_fil[1]->text(), QStringLiteral("以TAVO格式写回"));
    QCOMPARE(w.Opt_fil[2]->text(), QStringLiteral("转换到文本格式"));
    QCOMPARE(w.Opt_fil[3]->text(), QStringLiteral("其它格式"));
    QVERIFY(!w.Opt_fil[2]->isEnabled());
    QVERIFY(!w.Opt_fil[3]->isEnabled());
    QCOMPARE(w.CmdOutFile->text(), QStringLiteral("导出文件"));
    QCOMPARE(w.Command2->text(), QStringLiteral("退  出"));
    QCOMPARE(w.Command2->toolTip(), QStringLiteral("退出本应用程序"));
    for (QLineEdit* e : {w.CircleDot, w.Rec_Spd, w.Txt_WellName, w.Txt_TestTime})
        QCOMPARE(e->toolTip(), QStringLiteral("冲程周期点数(每点=0.02秒)"));
    QCOMPARE(w.st.Text3[0], std::string("测试日期"));
    QCOMPARE(w.st.Text3[14], std::string("冲程损失"));
    QCOMPARE(w.Picture1->palette().color(QPalette::Window), QColor(224, 224, 224));
    // A click on a disabled mode selects nothing.
    QTest::mouseClick(w.Opt_fil[2], Qt::LeftButton);
    QTest::mouseClick(w.Opt_fil[3], Qt::LeftButton);
    QVERIFY(w.Opt_fil[0]->isChecked());
    // Frames and the exit button: the Song face at 10.5 points (14 px at 96 dpi).
    for (QWidget* c : {static_cast<QWidget*>(w.Frame1), static_cast<QWidget*>(w.Frame2),
                       static_cast<QWidget*>(w.Frame3), static_cast<QWidget*>(w.Command2)}) {
        QCOMPARE(c->font().family(), song_family());
        QCOMPARE(c->font().pixelSize(), 14);
    }
    QCOMPARE(w.Label1->font().pixelSize(), 12);
}

void LayoutTest::songFaceHasEveryGlyph() {
    WindowFixture f;
    f.start(false);
    QCOMPARE(QFontInfo(song_font(10.5)).family(), song_family());
    QStringList texts{f.w->windowTitle()};
    for (QWidget* c : f.w->findChildren<QWidget*>()) {
        if (auto* b = qobject_cast<QAbstractButton*>(c)) texts << b->text();
        if (auto* l = qobject_cast<QLabel*>(c)) texts << l->text();
        if (auto* g = qobject_cast<QGroupBox*>(c)) texts << g->title();
        texts << c->toolTip();
    }
    texts << QStringLiteral(
        "通迅目录数据文件写回写回数据警告确实要删除文件吗?单击此处可显示电能数据绘制示功图电力曲线");
    const QFontMetricsF fm(song_font(9.0));
    for (const QString& t : texts)
        for (char32_t ch : t.toUcs4()) QVERIFY2(fm.inFontUcs4(ch), qPrintable(t));
}

void LayoutTest::pathsJoinAndRebuildSuffix() {
    QCOMPARE(join_path(QStringLiteral("/"), QStringLiteral("a.O00")), QStringLiteral("/a.O00"));
    QCOMPARE(join_path(QStringLiteral("/x/data"), QStringLiteral("a.O00")), QStringLiteral("/x/data/a.O00"));
    QCOMPARE(join_path(QStringLiteral("/x/data/"), QStringLiteral("a.O00")), QStringLiteral("/x/data/a.O00"));
    QCOMPARE(rebuild_source(QStringLiteral("  /x/out.Txt/lcs")), QStringLiteral("/x/out.Txt"));
    QCOMPARE(rebuild_source(QStringLiteral("/x/out.Txt/lcs ")), QString());  // last four are "lcs "
    QCOMPARE(rebuild_source(QStringLiteral("/x/out.Txt/LCS")), QString());
    QCOMPARE(rebuild_source(QStringLiteral("/x/out.Txt")), QString());

    // The root directory lists its files without a doubled separator.
    WindowFixture f;
    f.start(false);
    f.w->Dir1->setPath(QStringLiteral("/"));
    QCOMPARE(f.w->File1->path(), QStringLiteral("/"));
    QCOMPARE(f.w->full_path(QStringLiteral("a.O00")), QStringLiteral("/a.O00"));
}

void LayoutTest::exitButtonClosesTheWindow() {
    WindowFixture f;
    f.start(false);
    QVERIFY(f.w->isVisible());
    QTest::mouseClick(f.w->Command2, Qt::LeftButton);
    QVERIFY(!f.w->isVisible());
}

QTEST_MAIN(LayoutTest)
#include "app_layout_test.moc"
