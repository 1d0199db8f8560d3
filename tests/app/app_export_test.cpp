// The export frame: mode switch, export of one or several tests, the
// rebuild, the write-back, and the errors each can meet.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>

#include "app/dir_list.h"
#include "support/window_fixture.h"

using namespace tavo;
using tavo::testing::WindowFixture;

namespace {
const QString kYang = QStringLiteral("杨12-5.O00");

// The well names of the blocks of an exchange file, in order.
QStringList wells_in(const QString& path) {
    const QStringList lines = WindowFixture::gbk_file(path).split(QRegularExpression("\r?\n"));
    QStringList wells;
    for (int i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].trimmed() == QStringLiteral("[wellname]")) wells << lines[i + 1].trimmed();
    return wells;
}

void touch(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Whether a message holds Latin letters outside the paths it names.
bool english_outside(QString message, const QStringList& paths) {
    for (const QString& p : paths) message.remove(p);
    return message.contains(QRegularExpression(QStringLiteral("[A-Za-z]")));
}

void select_first(WindowFixture& f, int n) {
    f.press_file(f.w->File1->item(0)->text());
    f.press_file(f.w->File1->item(n - 1)->text(), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(int(f.w->File1->selectedNames().size()), n);
}
}  // namespace

class ExportTest : public QObject {
    Q_OBJECT
private slots:
    void modeSwitchBothWays();
    void exportOneWritesTheDataOnDisplay();
    void exportThreeAnalysesEachInListOrder();
    void batchCanBeCancelledAndSkipsUnreadableFiles();
    void noSelectionWritesNothing();
    void exportErrorsAreShownWithThePath();
    void rebuildFromTheExchangeFile();
    void rebuildErrorIsShown();
    void writeBackAsksBeforeOverwriting();
    void writeBackFailureIsShown();
};

void ExportTest::modeSwitchBothWays() {
    WindowFixture f;
    f.start();
    MainWindow& w = *f.w;
    const QColor face = w.Frame2->palette().color(QPalette::Window);
    f.press_file(kYang);
    QTest::mouseClick(w.Opt_fil[1], Qt::LeftButton);
    QVERIFY(w.Opt_fil[1]->isChecked());
    QCOMPARE(w.Frame2->title(), QStringLiteral("数据文件写回"));
    QCOMPARE(w.CmdOutFile->text(), QStringLiteral("写回数据"));
    QCOMPARE(w.Frame2->palette().color(QPalette::Window), QColor(255, 0, 0));
    QCOMPARE(w.TxtOutFile->text(), f.data + "/" + kYang);
    // While writing back, every analysed file becomes the target.
    f.press_file(QStringLiteral("DX-08.O00"));
    QCOMPARE(w.TxtOutFile->text(), f.data + QStringLiteral("/DX-08.O00"));

    QTest::mouseClick(w.Opt_fil[0], Qt::LeftButton);
    QCOMPARE(w.Frame2->title(), QStringLiteral("数据文件导出"));
    QCOMPARE(w.CmdOutFile->text(), QStringLiteral("导出文件"));
    QCOMPARE(w.Frame2->palette().color(QPalette::Window), face);
    QCOMPARE(w.TxtOutFile->text(), f.data + QStringLiteral("/OutDataFile.Txt"));

    // The target follows the folder in view, unless the user named his own.
    const QString sub = f.data + QStringLiteral("/sub");
    QDir().mkpath(sub);
    w.Dir1->setPath(sub);
    QCOMPARE(w.TxtOutFile->text(), sub + QStringLiteral("/OutDataFile.Txt"));
    w.TxtOutFile->setText(f.data + QStringLiteral("/mine.Txt"));
    w.Dir1->setPath(f.data);
    QCOMPARE(w.TxtOutFile->text(), f.data + QStringLiteral("/mine.Txt"));
}

void ExportTest::exportOneWritesTheDataOnDisplay() {
    WindowFixture f;
    f.start();
    MainWindow& w = *f.w;
    f.press_file(kYang);
    w.CircleDot->setText(QStringLiteral("500"));
    QTest::keyClick(w.CircleDot, Qt::Key_Return);
    w.Txt_WellName->setText(QStringLiteral("手工井"));
    const QString out = f.tmp.filePath(QStringLiteral("one.Txt"));
    w.TxtOutFile->setText(out);
    QTest::mouseClick(w.CmdOutFile, Qt::LeftButton);
    QCOMPARE(wells_in(out), QStringList{QStringLiteral("手工井")});
    QCOMPARE(w.st.Circle_Num, int16_t(500));  // not analysed again
    QCOMPARE(w.Txt_WellName->text(), QStringLiteral("手工井"));
    QVERIFY(f.errors.isEmpty());
    QVERIFY(w.statusText().contains(out));
    // A second export appends.
    QTest::mouseClick(w.CmdOutFile, Qt::LeftButton);
    QCOMPARE(wells_in(out).size(), 2);
}

void ExportTest::exportThreeAnalysesEachInListOrder() {
    WindowFixture f;
    f.start();
    MainWindow& w = *f.w;
    select_first(f, 3);
    const QString out = f.tmp.filePath(QStringLiteral("three.Txt"));
    touch(out, QByteArray("kept\r\n"));
    w.TxtOutFile->setText(out);
    QTest::mouseClick(w.CmdOutFile, Qt::LeftButton);
    QCOMPARE(wells_in(out), (QStringList{"DX-08", "SYN-FULL", "SYN-POUND"}));
    QVERIFY(WindowFixture::bytes(out).startsWith("kept\r\n"));
    // The last file stays analysed and on display.
    QCOMPARE(QString::fromStdString(w.st.Cur_File), f.data + QStringLiteral("/SYNPOUND.O00"));
    QCOMPARE(w.Txt_WellName->text(), QStringLiteral("SYN-POUND"));
    QCOMPARE(w.session.Disp_Mode, int16_t(1));
    QCOMPARE(w.Picture1->toolTip(), QStringLiteral("单击此处可显示电能数据"));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(f.errors.isEmpty());
    auto* progress = w.findChild<QProgressDialog*>(QStringLiteral("batch_progress"));
    QVERIFY(!progress || !progress->isVisible());
}

void ExportTest::batchCanBeCancelledAndSkipsUnreadableFiles() {
    WindowFixture f;
    f.start();
    MainWindow& w = *f.w;
    select_first(f, 4);
    const QString out = f.tmp.filePath(QStringLiteral("cancel.Txt"));
    w.TxtOutFile->setText(out);
    w.batch_file_done = [&](int i) {
        if (i == 1) w.findChild<QProgressDialog*>(QStringLiteral("batch_progress"))->cancel();
    };
    QTest::mouseClick(w.CmdOutFile, Qt::LeftButton);
    QCOMPARE(wells_in(out), (QStringList{"DX-08", "SYN-FULL"}));
    QVERIFY(w.statusText().contains(QStringLiteral("已取消")));
    w.batch_file_done = nullptr;

    // A file that cannot be read does not repeat the block before it.
    touch(f.data + QStringLiteral("/0bad.O00"), QByteArray(10, '\0'));
    w.File1->refresh();
    w.File1->clearSelection();
    select_first(f, 3);
    const QString out2 = f.tmp.filePath(QStringLiteral("skip.Txt"));
    w.TxtOutFile->setText(out2);
    QTest::mouseClick(w.CmdOutFile, Qt::LeftButton);
    QCOMPARE(wells_in(out2), (QStringList{"DX-08", "SYN-FULL"}));
    QCOMPARE(f.errors.size(), 1);
    QVERIFY(f.errors[0].contains(f.data + QStringLiteral("/0bad.O00")));
}

void ExportTest::noSelectionWritesNothing() {
    WindowFixture f;
    f.start();
    const QString out = f.tmp.filePath(QStringLiteral("none.Txt"));
    f.w->TxtOutFile->setText(out);
    QTest::mouseClick(f.w->CmdOutFile, Qt::LeftButton);  // nothing analysed, nothing selected
    f.press_file(kYang);
    f.w->File1->clearSelection();
    QTest::mouseClick(f.w->CmdOutFile, Qt::LeftButton);
    QVERIFY(!QFile::exists(out));
    QVERIFY(f.errors.isEmpty());
}

void ExportTest::exportErrorsAreShownWithThePath() {
    WindowFixture f;
    f.start();
    MainWindow& w = *f.w;
    // A folder that cannot hold the file: a plain file stands in its place.
    touch(f.tmp.filePath(QStringLiteral("notadir")), "x");
    const QString out = f.tmp.filePath(QStringLiteral("notadir/out.Txt"));
    f.press_file(kYang);
    w.TxtOutFile->setText(out);
    QTest::mouseClick(w.CmdOutFile, Qt::LeftButton);
    QCOMPARE(f.errors.size(), 1);
    QVERIFY(f.errors[0].contains(out));
    QVERIFY(f.errors[0].contains(QStringLiteral("不是文件夹")));
    QVERIFY2(!english_outside(f.errors[0], {out}), qPrintable(f.errors[0]));
    QVERIFY(w.StatusLine->property("failure").toBool());
    QVERIFY(w.isVisible());

    // In a batch the error ends the command after the first file.
    w.File1->clearSelection();
    select_first(f, 3);
    QTest::mouseClick(w.CmdOutFile, Qt::LeftButton);
    QCOMPARE(f.errors.size(), 2);
    QVERIFY(f.errors[1].contains(out));
    QCOMPARE(QString::fromStdString(w.st.Cur_File), f.data + QStringLiteral("/DX-08.O00"));
    QVERIFY(!QApplication::overrideCursor());
}

void ExportTest::rebuildFromTheExchangeFile() {
    WindowFixture f;
    f.start();
    MainWindow& w = *f.w;
    select_first(f, 3);
    const QString out = f.tmp.filePath(QStringLiteral("back.Txt"));
    w.TxtOutFile->setText(out);
    QTest::mouseClick(w.CmdOutFile, Qt::LeftButton);
    QCOMPARE(wells_in(out).size(), 3);

    w.TxtOutFile->setText(QStringLiteral("  ") + out + QStringLiteral("/lcs"));
    QTest::mouseClick(w.CmdOutFile, Qt::LeftButton);
    QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join("\n")));
    const QStringList rebuilt =
        QDir(f.tmp.filePath(QStringLiteral("back"))).entryList(QStringList{"*.o*"}, QDir::Files, QDir::Name);
    QCOMPARE(rebuilt.size(), 3);
    QCOMPARE(wells_in(out).size(), 3);  // nothing appended
    // The last rebuilt file is analysed and shown.
    QCOMPARE(w.Txt_WellName->text(), QStringLiteral("SYN-POUND"));
    QCOMPARE(w.session.Disp_Mode, int16_t(1));
    QVERIFY(w.statusText().contains(QStringLiteral("3")));

    // A text that ends inside a last block: the whole blocks are rebuilt and
    // the cut one is named in a box.
    QFile cut(out);
    QVERIFY(cut.open(QIODevice::Append));
    cut.write("[wellname]\r\nCUT-1\r\n[testdate]\r\n2005-1-2\r\n");
    cut.close();
    QTest::mouseClick(w.CmdOutFile, Qt::LeftButton);
    QCOMPARE(f.errors.size(), 1);
    QVERIFY(f.errors[0].startsWith(QStringLiteral("转换不完整|")));
    QVERIFY(f.errors[0].contains(QStringLiteral("已重建 3 个测试文件")));
    QVERIFY(f.errors[0].contains(QStringLiteral("CUT-1")));
    QVERIFY(!QApplication::overrideCursor());
}

void ExportTest::rebuildErrorIsShown() {
    WindowFixture f;
    f.start();
    const QString missing = f.tmp.filePath(QStringLiteral("missing.Txt"));
    f.w->TxtOutFile->setText(missing + QStringLiteral("/lcs"));
    QTest::mouseClick(f.w->CmdOutFile, Qt::LeftButton);
    QCOMPARE(f.errors.size(), 1);
    QVERIFY(f.errors[0].contains(missing));
    QVERIFY(f.errors[0].contains(QStringLiteral("文件或文件夹不存在")));
    QVERIFY2(!english_outside(f.errors[0], {missing}), qPrintable(f.errors[0]));
    QVERIFY(!QApplication::overrideCursor());
}

void ExportTest::writeBackAsksBeforeOverwriting() {
    WindowFixture f;
    f.start();
    MainWindow& w = *f.w;
    const QString path = f.data + "/" + kYang;
    const QByteArray before = WindowFixture::bytes(path);
    f.press_file(kYang);
    QTest::mouseClick(w.Opt_fil[1], Qt::LeftButton);
    w.Txt_WellName->setText(QStringLiteral("杨12-5X"));

    f.answer = false;
    QTest::mouseClick(w.CmdOutFile, Qt::LeftButton);
    QCOMPARE(f.questions, QStringList{QStringLiteral("警告信息|") + kYang +
                                      QStringLiteral("已经存在，你确定要覆盖它吗？")});
    QCOMPARE(WindowFixture::bytes(path), before);

    f.answer = true;
    QTest::mouseClick(w.CmdOutFile, Qt::LeftButton);
    QCOMPARE(f.questions.size(), 2);
    QVERIFY(WindowFixture::bytes(path) != before);
    QVERIFY(f.errors.isEmpty());
    QVERIFY(w.statusText().contains(path));

    // Read back, the file carries the edited well name.
    QTest::mouseClick(w.Opt_fil[0], Qt::LeftButton);
    f.press_file(kYang);
    QCOMPARE(w.Txt_WellName->text(), QStringLiteral("杨12-5X"));
}

void ExportTest::writeBackFailureIsShown() {
    WindowFixture f;
    f.start();
    MainWindow& w = *f.w;
    touch(f.tmp.filePath(QStringLiteral("notadir")), "x");
    const QString target = f.tmp.filePath(QStringLiteral("notadir/x.O00"));
    f.press_file(kYang);
    QTest::mouseClick(w.Opt_fil[1], Qt::LeftButton);
    w.TxtOutFile->setText(target);
    QTest::mouseClick(w.CmdOutFile, Qt::LeftButton);
    QVERIFY(f.questions.isEmpty());
    QCOMPARE(f.errors.size(), 1);
    QVERIFY(f.errors[0].contains(target));
    QVERIFY(f.errors[0].contains(QStringLiteral("原因：不是文件夹")));
    QVERIFY2(!english_outside(f.errors[0], {target}), qPrintable(f.errors[0]));
    QVERIFY(w.StatusLine->property("failure").toBool());
}

QTEST_MAIN(ExportTest)
#include "app_export_test.moc"
