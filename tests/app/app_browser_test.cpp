// The file browser: listing, analysis on a click, deletion and the lock boxes.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/dir_list.h"
#include "app/picture_widget.h"
#include "support/window_fixture.h"

using namespace tavo;
using tavo::testing::samples_dir;
using tavo::testing::WindowFixture;

namespace {
const QString kYang = QStringLiteral("杨12-5.O00");   // stroke of 600 samples, card data
const QString kNoCard = QStringLiteral("DX-08.O00");  // displacement and load 0

void touch(const QString& path, const QByteArray& bytes = QByteArray("x")) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
}  // namespace

class BrowserTest : public QObject {
    Q_OBJECT
private slots:
    void listMatchesPatternWithoutCase();
    void treeShowsTheDataFolderAtStart();
    void directoryChangeListsTheNewDirectory();
    void clickAnalysesTheFile();
    void damagedFileKeepsThePreviousTestAndRefusesExport();
    void ctrlAndShiftSelectSeveralAnalysingEachClicked();
    void arrowKeysAnalyseTheFileMovedTo();
    void rightButtonDeletesAfterTheQuestion();
    void lockBoxesKeepCurvesOfThePreviousFile();
};

void BrowserTest::listMatchesPatternWithoutCase() {
    WindowFixture f;
    f.start(false);
    for (const char* n : {"a.O00", "b.o01", "c.txt", "d.OUT", "noext", "e.Txt.o9"}) touch(f.data + "/" + n);
    QDir().mkpath(f.data + "/sub.o00");  // folders are not listed
    f.w->File1->refresh();
    QStringList listed;
    for (int i = 0; i < f.w->File1->count(); ++i) listed << f.w->File1->item(i)->text();
    QCOMPARE(listed, (QStringList{"a.O00", "b.o01", "d.OUT", "e.Txt.o9"}));
}

void BrowserTest::directoryChangeListsTheNewDirectory() {
    WindowFixture f;
    f.start();
    const QString sub = f.data + "/sub";
    QDir().mkpath(sub);
    touch(sub + "/x.O05");
    touch(sub + "/y.dat");
    f.w->Dir1->setPath(sub);
    QCOMPARE(f.w->File1->path(), sub);
    QCOMPARE(f.w->File1->count(), 1);
    QCOMPARE(f.w->File1->item(0)->text(), QStringLiteral("x.O05"));
    QCOMPARE(f.w->full_path("x.O05"), sub + "/x.O05");
    // The user moving up the tree lists the data directory again.
    f.w->Dir1->setFocus();
    QTest::keyClick(f.w->Dir1, Qt::Key_Up);
    QCOMPARE(f.w->File1->path(), f.data);
    QCOMPARE(f.w->File1->count(),
             QDir(tavo::testing::samples_dir()).entryList(QStringList{"*.o*"}, QDir::Files).size());
}

void BrowserTest::clickAnalysesTheFile() {
    WindowFixture f;
    f.start();
    QVERIFY(!f.w->Frame3->isEnabled());
    f.press_file(kYang);
    MainWindow& w = *f.w;
    QCOMPARE(QString::fromStdString(w.st.Cur_File), f.data + "/" + kYang);
    QVERIFY(w.Frame3->isEnabled());
    QCOMPARE(w.session.Disp_Mode, int16_t(1));
    QCOMPARE(w.Picture1->toolTip(), QStringLiteral("单击此处可显示电能数据"));
    QCOMPARE(w.CircleDot->text(), QString::number(w.st.Circle_Num));
    QVERIFY(qAbs(w.st.Circle_Num - 600) <= 2);
    QCOMPARE(w.st.Pow_Circle_Num, w.st.Circle_Num);
    QCOMPARE(w.Txt_WellName->text(), QStringLiteral("杨12-5"));
    QCOMPARE(w.Rec_Spd->text(), QStringLiteral("1"));
    QVERIFY(!w.Txt_TestTime->text().isEmpty());
    QVERIFY(!w.Picture1->surface().ops.empty());  // the chart was drawn
    QVERIFY(!w.StatusLine->property("failure").toBool());
    QVERIFY(w.statusText().contains(kYang));
    QVERIFY(!QApplication::overrideCursor());  // the hourglass is gone
    QVERIFY(f.questions.isEmpty() && f.errors.isEmpty());
}

void BrowserTest::treeShowsTheDataFolderAtStart() {
    WindowFixture f;
    f.start();
    DirListBox* tree = f.w->Dir1;
    // The folders above it are read in the background; once they are, the
    // data folder is the current item and in view.
    QTRY_VERIFY_WITH_TIMEOUT(tree->currentIndex().isValid() &&
                                 tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())),
                             5000);
    QCOMPARE(tree->path(), QDir::cleanPath(f.data));
}

// A file that cannot be read is not analysed: what is on display stays, the
// status line says why, and nothing of it is exported or written back.
void BrowserTest::damagedFileKeepsThePreviousTestAndRefusesExport() {
    WindowFixture f;
    f.start();
    MainWindow& w = *f.w;
    f.press_file(kYang);
    f.press_picture();  // the table
    const std::vector<DrawOp> shown = w.Picture1->surface().ops;
    const QString well = w.Txt_WellName->text(), cycle = w.CircleDot->text(), tip = w.Picture1->toolTip();
    const auto cur_dat = w.st.Cur_Dat;
    const std::string cur_file = w.st.Cur_File;
    touch(f.data + "/bad.O00", QByteArray(10, '\0'));  // shorter than its header
    // A header and no sample: exactly 1024 bytes of another well's test.
    touch(f.data + "/bare.O00", WindowFixture::bytes(f.data + "/" + kNoCard).left(1024));
    touch(f.data + "/gone.O00", QByteArray(4000, '\0'));
    w.File1->refresh();
    QFile::remove(f.data + "/gone.O00");  // listed, then gone from the disk

    const QString out = f.tmp.filePath(QStringLiteral("out.Txt"));
    const struct {
        QString name, why;
    } cases[] = {{"bad.O00", QStringLiteral("文件短于 1024 字节的文件头")},
                 {"bare.O00", QStringLiteral("没有一个完整的采样点")},
                 {"gone.O00", QStringLiteral("无法打开文件：文件或文件夹不存在")}};
    for (const auto& c : cases) {
        f.errors.clear();
        f.press_file(c.name);
        QVERIFY(f.questions.isEmpty() && f.errors.isEmpty());  // no message box on the click
        QVERIFY(w.StatusLine->property("failure").toBool());
        QVERIFY(w.statusText().contains(f.data + "/" + c.name));
        QVERIFY2(w.statusText().contains(c.why), qPrintable(w.statusText()));
        QCOMPARE(w.Txt_WellName->text(), well);
        QCOMPARE(w.CircleDot->text(), cycle);
        QCOMPARE(w.Picture1->toolTip(), tip);
        QCOMPARE(w.session.Disp_Mode, int16_t(2));
        QCOMPARE(w.st.Cur_File, cur_file);
        QVERIFY(w.st.Cur_Dat == cur_dat);
        QCOMPARE(w.Picture1->surface().ops.size(), shown.size());

        // The single-file export and the write-back refuse, naming the file.
        w.TxtOutFile->setText(out);
        QTest::mouseClick(w.CmdOutFile, Qt::LeftButton);
        QTest::mouseClick(w.Opt_fil[1], Qt::LeftButton);
        QTest::mouseClick(w.CmdOutFile, Qt::LeftButton);
        QTest::mouseClick(w.Opt_fil[0], Qt::LeftButton);
        QCOMPARE(f.errors.size(), 2);
        for (const QString& e : f.errors) {
            QVERIFY(e.contains(f.data + "/" + c.name));
            QVERIFY(e.contains(c.why));
        }
        QVERIFY(f.questions.isEmpty());
        QVERIFY(!QFile::exists(out));
    }
    QCOMPARE(WindowFixture::bytes(f.data + "/" + kYang), WindowFixture::bytes(samples_dir() + "/" + kYang));

    // The next readable file is analysed and clears the notice.
    f.press_file(kNoCard);
    QVERIFY(!w.StatusLine->property("failure").toBool());
    QCOMPARE(w.Txt_WellName->text(), QStringLiteral("DX-08"));
}

void BrowserTest::ctrlAndShiftSelectSeveralAnalysingEachClicked() {
    WindowFixture f;
    f.start();
    FileListBox& list = *f.w->File1;
    const QString first = list.item(0)->text(), third = list.item(2)->text(), fifth = list.item(4)->text();
    f.press_file(first);
    f.press_file(third, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(list.selectedNames(), (QStringList{first, third}));
    QCOMPARE(QString::fromStdString(f.w->st.Cur_File), f.w->full_path(third));
    f.press_file(fifth, Qt::LeftButton, Qt::ShiftModifier);
    // The range from the anchor joins what Ctrl picked.
    QCOMPARE(list.selectedNames(), (QStringList{first, third, list.item(3)->text(), fifth}));
    QCOMPARE(QString::fromStdString(f.w->st.Cur_File), f.w->full_path(fifth));
    QCOMPARE(f.w->Txt_WellName->text().isEmpty(), false);
}

void BrowserTest::arrowKeysAnalyseTheFileMovedTo() {
    WindowFixture f;
    f.start();
    FileListBox& list = *f.w->File1;
    f.press_file(list.item(0)->text());
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(QString::fromStdString(f.w->st.Cur_File), f.w->full_path(list.item(1)->text()));
    QCOMPARE(f.w->Txt_WellName->text(), QStringLiteral("SYN-FULL"));
    // Ctrl moves the focus without selecting: nothing is analysed.
    QTest::keyClick(&list, Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(QString::fromStdString(f.w->st.Cur_File), f.w->full_path(list.item(1)->text()));
}

// The right button asks about the file under the pointer, selecting it
// first; answered No, the selection goes back to the file on display.
void BrowserTest::rightButtonDeletesAfterTheQuestion() {
    WindowFixture f;
    f.start(false);
    for (const QString& n : {kYang, kNoCard}) QFile::copy(samples_dir() + "/" + n, f.data + "/" + n);
    f.w->File1->refresh();
    const QString path = f.data + "/" + kNoCard;
    // Below the last entry: no file, no question.
    QTest::mouseClick(f.w->File1->viewport(), Qt::RightButton, {}, QPoint(5, 100));
    QVERIFY(f.questions.isEmpty());

    f.press_file(kYang);
    f.answer = false;
    f.press_file(kNoCard, Qt::RightButton);
    QCOMPARE(f.questions, QStringList{QStringLiteral("警告|确实要删除") + path + QStringLiteral("文件吗?")});
    QVERIFY(QFile::exists(path));
    QCOMPARE(f.w->File1->selectedNames(), QStringList{kYang});
    QCOMPARE(f.w->File1->fileName(), kYang);

    f.answer = true;
    f.press_file(kNoCard, Qt::RightButton);
    QCOMPARE(f.questions.size(), 2);
    QVERIFY(!QFile::exists(path));
    QVERIFY(!f.item(kNoCard));
    // Deleting touches no analysis: the well on display stays.
    QCOMPARE(QString::fromStdString(f.w->st.Cur_File), f.data + "/" + kYang);
    QCOMPARE(f.w->session.Disp_Mode, int16_t(1));
}

void BrowserTest::lockBoxesKeepCurvesOfThePreviousFile() {
    WindowFixture f;
    f.start();
    MainWindow& w = *f.w;
    // Card curves locked: the file without card data keeps the previous card.
    f.press_file(kYang);
    const SampleArray vol_yang = w.st.Vol_Dat;
    QVERIFY(w.st.Force_Dat[100] != 0.0f);
    QTest::mouseClick(w.Chk_SGT, Qt::LeftButton);
    QVERIFY(w.Chk_SGT->isChecked());
    f.press_file(kNoCard);
    QCOMPARE(w.Txt_WellName->text(), QStringLiteral("DX-08"));
    QVERIFY(w.st.Force_Dat[100] != 0.0f);
    QVERIFY(w.st.Vol_Dat != vol_yang);

    // Unlocked, then the electrical curves locked instead.
    QTest::mouseClick(w.Chk_SGT, Qt::LeftButton);
    f.press_file(kNoCard);
    QCOMPARE(w.st.Force_Dat[100], 0.0f);
    const SampleArray vol_nocard = w.st.Vol_Dat;
    QTest::mouseClick(w.Chk_POW, Qt::LeftButton);
    f.press_file(kYang);
    QCOMPARE(w.Txt_WellName->text(), QStringLiteral("杨12-5"));
    QVERIFY(w.st.Vol_Dat == vol_nocard);
    QVERIFY(w.st.Force_Dat[100] != 0.0f);
}

QTEST_MAIN(BrowserTest)
#include "app_browser_test.moc"
