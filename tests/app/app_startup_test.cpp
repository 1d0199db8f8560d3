// Start-up from the command line: `tavo FILE`, `tavo FOLDER`, an argument
// that cannot be opened, and where the data directory lies.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStandardPaths>
#include <QtTest>

#include "app/startup.h"
#include "support/window_fixture.h"
#include "tavo_version.h"

using namespace tavo;
using tavo::testing::WindowFixture;

namespace {
const QString kYang = QStringLiteral("杨12-5.O00");

void touch(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x");
}

bool is_failure(const MainWindow& w) {
    return w.StatusLine->property("failure").toBool();
}
}  // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { qunsetenv("TAVO_DATA_DIR"); }

    void fileArgumentIsSelectedAndAnalysedAsAClick();
    void folderArgumentListsTheFolder();
    void argumentThatCannotBeOpenedIsReported();
    void dataDirectoryFollowsWhereTheProgramRuns();
};

void StartupTest::fileArgumentIsSelectedAndAnalysedAsAClick() {
    WindowFixture clicked;
    clicked.start();
    clicked.press_file(kYang);

    // A relative path, as a shell passes it.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(clicked.data);
    const auto w = start_window(QStringList{QStringLiteral("./") + kYang});
    QDir::setCurrent(cwd);

    QCOMPARE(w->File1->path(), clicked.data);
    QCOMPARE(w->File1->fileName(), kYang);
    QCOMPARE(w->File1->selectedNames(), QStringList{kYang});
    QCOMPARE(QString::fromStdString(w->st.Cur_File), clicked.data + "/" + kYang);
    QVERIFY(w->Frame3->isEnabled());
    QCOMPARE(w->session.Disp_Mode, int16_t(1));
    QCOMPARE(w->st.Circle_Num, clicked.w->st.Circle_Num);
    QCOMPARE(w->st.Text3, clicked.w->st.Text3);
    QCOMPARE(w->Txt_WellName->text(), QStringLiteral("杨12-5"));
    QCOMPARE(w->Picture1->surface().ops.size(), clicked.w->Picture1->surface().ops.size());
    QCOMPARE(w->TxtOutFile->text(), clicked.data + "/OutDataFile.Txt");
    QVERIFY(!is_failure(*w));

    // A file the list does not show is named, not analysed.
    touch(clicked.data + "/notes.txt");
    const auto other = start_window(QStringList{clicked.data + "/notes.txt"});
    QCOMPARE(other->File1->path(), clicked.data);
    QVERIFY(other->st.Cur_File.empty());
    QVERIFY(!other->Frame3->isEnabled());
    QVERIFY(is_failure(*other));
    QVERIFY(other->StatusLine->toolTip().contains(clicked.data + "/notes.txt"));
}

void StartupTest::folderArgumentListsTheFolder() {
    WindowFixture f;
    f.start();
    const auto w = start_window(QStringList{f.data + "/"});
    QCOMPARE(w->File1->path(), f.data);
    QCOMPARE(w->File1->count(), f.w->File1->count());
    QVERIFY(w->File1->fileName().isEmpty());
    QVERIFY(w->st.Cur_File.empty());
    QVERIFY(!w->Frame3->isEnabled());
    QVERIFY(!is_failure(*w));
}

void StartupTest::argumentThatCannotBeOpenedIsReported() {
    QTemporaryDir tmp;
    const QString data = tmp.filePath(QStringLiteral("data"));
    qputenv("TAVO_DATA_DIR", data.toLocal8Bit());
    const QString missing = tmp.filePath(QStringLiteral("gone/W1.O00"));
    // The window opens as without an argument: on the data directory, created.
    const auto w = start_window(QStringList{missing});
    QCOMPARE(w->File1->path(), data);
    QVERIFY(QFileInfo(data).isDir());
    QVERIFY(w->isVisible());
    QVERIFY(is_failure(*w));
    QCOMPARE(w->StatusLine->toolTip(), QStringLiteral("找不到要打开的文件或文件夹：") + missing);

    // Without an argument nothing is reported.
    const auto plain = start_window(QStringList{});
    QCOMPARE(plain->File1->path(), data);
    QVERIFY(!is_failure(*plain));
    QVERIFY(plain->StatusLine->toolTip().isEmpty());

    // The About box of the status line's menu tells the version.
    QVERIFY(about_text().contains(QStringLiteral(TAVO_VERSION)));
    QVERIFY(plain->StatusLine->findChild<QAction*>(QStringLiteral("About")));
}

void StartupTest::dataDirectoryFollowsWhereTheProgramRuns() {
    QTemporaryDir tmp;
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/tavo-data";
    // A build or an unpacked copy: "data" beside the program.
    const QString own = tmp.filePath(QStringLiteral("own"));
    QDir().mkpath(own);
    QCOMPARE(default_data_dir(own), own + "/data");
    // An installed program: the user's documents folder, never the program's.
    const QString prefix = tmp.filePath(QStringLiteral("usr"));
    QDir().mkpath(prefix + "/bin");
    QDir().mkpath(prefix + "/share/applications");
    touch(prefix + "/share/applications/tavo.desktop");
    QCOMPARE(default_data_dir(prefix + "/bin"), docs);
    QVERIFY(!QFileInfo::exists(docs) || QFileInfo(docs).isDir());
    // ... unless a "data" folder already lies beside it.
    QDir().mkpath(prefix + "/bin/data");
    QCOMPARE(default_data_dir(prefix + "/bin"), prefix + "/bin/data");
}

QTEST_MAIN(StartupTest)
#include "app_startup_test.moc"
