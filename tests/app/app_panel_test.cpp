// The analysis panel: what it says after clicks, a manual cycle and the
// recompute; its settings across a restart; the report and the comparison.
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

#include "app/analysis_panel.h"
#include "app/compare_window.h"
#include "support/panel_fixture.h"

using namespace tavo;
using tavo::testing::PanelFixture;
using tavo::testing::WindowFixture;

namespace {
const QString kYang = QStringLiteral("杨12-5.O00");
const QString kBei = QStringLiteral("北3-17.O01");

QString text(const AnalysisPanel& p, const char* key) {
    QLabel* l = p.value(key);
    return l ? l->text() : QStringLiteral("<none>");
}

void enter_cycle(MainWindow& w, const QString& t) {
    w.CircleDot->clear();
    QTest::keyClicks(w.CircleDot, t);
    QTest::keyClick(w.CircleDot, Qt::Key_Return);
}

}  // namespace

class PanelTest : public QObject {
    Q_OBJECT
private slots:
    void followsTheTestOnDisplay();
    void manualCycleThenRecompute();
    void aFileWithoutSamplesIsNamedAndShowsNothingOfTheFileBefore();
    void settingsSurviveARestart();
    void reportCancelledStaysAWholePdf();
    void reportTakesTheHeldTestAfterAFailedPick();
    void compareNeedsTwoFiles();
};

void PanelTest::followsTheTestOnDisplay() {
    PanelFixture f;
    f.open();
    AnalysisPanel& p = *f.panel;
    QCOMPARE(p.windowTitle(), QStringLiteral("井况分析"));
    QVERIFY(p.Heading->text().startsWith(QStringLiteral("尚未分析任何测试")));
    QCOMPARE(text(p, "period.detected"), QStringLiteral("—"));

    f.press_file(kYang);
    QVERIFY(p.Heading->text().contains(QStringLiteral("杨12-5")));
    QVERIFY(text(p, "period.detected").startsWith(QStringLiteral("601 点")));
    QVERIFY(text(p, "period.verified").startsWith(QStringLiteral("600.0 点")));
    QCOMPARE(text(p, "period.agrees"), QStringLiteral("一致"));
    QCOMPARE(text(p, "balance.verdict"), QStringLiteral("平衡"));
    QVERIFY(text(p, "card.condition") != QStringLiteral("—"));
    QVERIFY(p.value("card.condition")->toolTip().contains(QStringLiteral("交叉验证")));
    QVERIFY(!p.Recompute->isEnabled());
    QVERIFY(p.value("balance.change")->toolTip().contains(QStringLiteral("传动效率")));

    f.press_file(kBei);
    QVERIFY(text(p, "period.detected").startsWith(QStringLiteral("751 点")));
    QCOMPARE(text(p, "balance.verdict"), QStringLiteral("平衡偏重，应减轻"));
    QVERIFY(text(p, "balance.change").startsWith(QStringLiteral("-7.")));
    // The motor generates on the up-stroke: no power ratio, the reason instead.
    QVERIFY(text(p, "balance.power_ratio").startsWith(QStringLiteral("—（上冲程电机平均处于发电状态")));
    QVERIFY(p.note(1)->text().contains(QStringLiteral("应减轻或内移平衡块")));

    // The lock box keeps the card of the test before; the panel follows.
    f.w->Chk_SGT->setChecked(true);
    f.press_file(kYang);
    QVERIFY(p.Heading->text().contains(QStringLiteral("杨12-5")));
}

void PanelTest::manualCycleThenRecompute() {
    PanelFixture f;
    f.open();
    AnalysisPanel& p = *f.panel;
    MainWindow& w = *f.w;
    f.press_file(kYang);
    const std::vector<DrawOp> chart = w.Picture1->surface().ops;
    const std::string spm = w.st.Text3[13];

    enter_cycle(w, QStringLiteral("560"));
    // A typed cycle is the user's, not a detection error.
    QVERIFY(text(p, "period.detected").startsWith(QStringLiteral("560 点")));
    QCOMPARE(text(p, "period.agrees"), QStringLiteral("手动周期与校验周期不同"));
    QVERIFY(!p.value("period.agrees")->font().bold());
    QVERIFY(p.note(0)->text().contains(QStringLiteral("手动周期 560 点不同于校验周期")));
    QVERIFY(!p.note(0)->text().contains(QStringLiteral("可能偏短")));
    QVERIFY(p.Recompute->isEnabled());
    QCOMPARE(w.st.Text3[13], spm);  // the manual entry recalculates nothing

    f.press_picture();  // the table: the recompute starts the ring again
    QTest::mouseClick(p.Recompute, Qt::LeftButton);
    QCOMPARE(w.st.Circle_Num, int16_t(601));
    QCOMPARE(w.st.Pow_Circle_Num, int16_t(601));
    QCOMPARE(w.CircleDot->text(), QStringLiteral("601"));
    QCOMPARE(w.session.Disp_Mode, int16_t(1));
    QVERIFY(w.Picture1->surface().ops == chart);
    QCOMPARE(w.st.Text3[13], spm);
    QVERIFY(w.StatusLine->toolTip().contains(QStringLiteral("校验周期")));
    QCOMPARE(text(p, "period.agrees"), QStringLiteral("已按校验周期重新计算"));
    QVERIFY(p.note(0)->text().contains(QStringLiteral("结果已按校验周期重新计算")));
    QVERIFY(!p.Recompute->isEnabled());

    // The next click is a detection again.
    f.press_file(kBei);
    QCOMPARE(text(p, "period.agrees"), QStringLiteral("一致"));
}

// A header without samples, BARE.O00, beside the samples.
void write_bare(PanelFixture& f) {
    QFile src(QDir(f.data).filePath(kBei));
    QVERIFY(src.open(QIODevice::ReadOnly));
    QFile bare(QDir(f.data).filePath(QStringLiteral("BARE.O00")));
    QVERIFY(bare.open(QIODevice::WriteOnly));
    bare.write(src.read(1024));
    bare.close();
    f.w->File1->refresh();
}

void PanelTest::aFileWithoutSamplesIsNamedAndShowsNothingOfTheFileBefore() {
    PanelFixture f;
    f.open();
    AnalysisPanel& p = *f.panel;
    write_bare(f);
    f.press_file(kYang);
    f.press_file(QStringLiteral("BARE.O00"));
    QVERIFY(p.Heading->text().contains(QStringLiteral("BARE.O00")));
    QVERIFY(!p.Heading->text().contains(kYang));
    QCOMPARE(text(p, "balance.verdict"), QStringLiteral("—"));
    QVERIFY(f.w->StatusLine->toolTip().contains(QStringLiteral("没有一个完整的采样点")));
}

void PanelTest::settingsSurviveARestart() {
    PanelFixture f;
    f.open();
    f.press_file(kYang);
    f.panel->BandLow->setValue(90);
    f.panel->Efficiency->setValue(70);
    QVERIFY(f.panel->note(1)->text().contains(QStringLiteral("90%–120%")));
    QVERIFY(f.panel->value("balance.settings")->text().contains(QStringLiteral("传动效率 70%")));
    f.w.reset();

    f.w = std::make_unique<MainWindow>(f.data);
    f.w->show_analysis_panel();
    AnalysisPanel* again = f.w->findChild<AnalysisPanel*>();
    QCOMPARE(again->BandLow->value(), 90.0);
    QCOMPARE(again->BandHigh->value(), 120.0);
    QCOMPARE(again->Efficiency->value(), 70.0);
    // Raising the lower end up to the upper one stops it one short: the
    // upper end does not move.
    again->BandLow->setValue(150);
    QCOMPARE(again->BandHigh->value(), 120.0);
    QCOMPARE(again->BandLow->value(), 119.0);
    QVERIFY(QFile::exists(f.tmp.filePath(QStringLiteral("settings/TAVO/tavo.ini"))));
}

void PanelTest::reportCancelledStaysAWholePdf() {
    PanelFixture f;
    f.open();
    f.press_file(kYang);
    f.press_file(kBei, Qt::LeftButton, Qt::ControlModifier);
    const QString out = f.tmp.filePath(QStringLiteral("r.pdf"));
    f.panel->ask_report_path = [&] { return out; };
    f.panel->report_step = [&](int) {
        if (auto* d = f.panel->findChild<QProgressDialog*>(QStringLiteral("ReportProgress"))) d->cancel();
    };
    QTest::mouseClick(f.panel->ExportReport, Qt::LeftButton);
    QVERIFY(f.w->StatusLine->toolTip().contains(QStringLiteral("报告已取消")));
    QVERIFY(f.w->StatusLine->toolTip().contains(QStringLiteral("1 页")));
    const QByteArray pdf = WindowFixture::bytes(out);
    QVERIFY(pdf.startsWith("%PDF"));
    QVERIFY(pdf.trimmed().endsWith("%%EOF"));
}

// The window still shows the test before a file it could not read; the
// report takes that test as a whole one, not as the failed reading.
void PanelTest::reportTakesTheHeldTestAfterAFailedPick() {
    PanelFixture f;
    f.open();
    write_bare(f);
    f.press_file(kYang);
    f.press_file(QStringLiteral("BARE.O00"), Qt::LeftButton, Qt::ControlModifier);
    const QString out = f.tmp.filePath(QStringLiteral("r.pdf"));
    f.panel->ask_report_path = [&] { return out; };
    QTest::mouseClick(f.panel->ExportReport, Qt::LeftButton);
    const QString status = f.w->StatusLine->toolTip();
    QVERIFY2(status.contains(QStringLiteral("已导出报告")), qPrintable(status));
    QVERIFY2(status.contains(QStringLiteral("其中 1 个文件无法读取")), qPrintable(status));
}

void PanelTest::compareNeedsTwoFiles() {
    PanelFixture f;
    f.open();
    f.press_file(kYang);
    QTest::mouseClick(f.panel->Compare, Qt::LeftButton);
    QVERIFY(!f.panel->last_compare);
    QVERIFY(f.w->StatusLine->toolTip().contains(QStringLiteral("两个或更多")));

    f.press_file(kBei, Qt::LeftButton, Qt::ControlModifier);
    QTest::mouseClick(f.panel->Compare, Qt::LeftButton);
    QVERIFY(f.panel->last_compare);
    auto* cw = qobject_cast<CompareWindow*>(f.panel->last_compare.data());
    QStringList legends;
    for (const DrawOp& op : cw->drawing().ops)
        if (op.kind == OpKind::Text && op.text.size() > 3 && op.text[1] == '.')
            legends << QString::fromStdString(op.text);
    // In list order, each with its date and time.
    QVERIFY(legends.contains(QStringLiteral("1. 北3-17  20261103  11:42")));
    QVERIFY(legends.contains(QStringLiteral("2. 杨12-5  20261103  10:25")));
    if (qEnvironmentVariableIsSet("TAVO_SCREENSHOT_DIR")) {
        const QDir dir(qEnvironmentVariable("TAVO_SCREENSHOT_DIR"));
        f.press_file(kYang);
        f.panel->resize(500, 880);
        QTest::qWait(800);
        QVERIFY(f.panel->grab().save(dir.filePath(QStringLiteral("analysis-panel.png"))));
        QVERIFY(cw->grab().save(dir.filePath(QStringLiteral("comparison.png"))));
    }
}

QTEST_MAIN(PanelTest)
#include "app_panel_test.moc"
