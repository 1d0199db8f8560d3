// The pump card in the analysis panel and the report: from the sample wells'
// records put into the database at the first start, and without a record.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

#include "app/analysis_panel.h"
#include "app/pump_card_box.h"
#include "app/well_dialog.h"
#include "app/well_records.h"
#include "support/panel_fixture.h"
#include "views/palette.h"

using namespace tavo;
using tavo::testing::PanelFixture;

namespace {
const QString kYang = QStringLiteral("杨12-5.O00");

QString text(const PumpCardBox& b, const char* key) {
    QLabel* l = b.value(key);
    return l ? l->text() : QStringLiteral("<none>");
}

}  // namespace

class PumpCardTest : public QObject {
    Q_OBJECT
private slots:
    void sampleWellsGiveAPumpCardAtTheFirstClick();
    void withoutARecordTheSectionSaysSo();
    void theReportGivesThePumpCardAPage();
};

void PumpCardTest::sampleWellsGiveAPumpCardAtTheFirstClick() {
    PanelFixture f;
    f.open(true);
    QVERIFY(QFile::exists(f.wells_db));
    // A second start finds the database and does not seed it again.
    QCOMPARE(seed_well_records(f.data), QString());
    const PumpCardBox& b = *f.panel->Pump;
    QVERIFY(!b.EditRecord->isEnabled());  // nothing analysed yet

    f.press_file(kYang);
    QVERIFY(f.panel->wells().count("杨12-5") == 1);
    QVERIFY(b.Picture->isVisibleTo(f.panel));
    QVERIFY(text(b, "pump.fillage").endsWith(QStringLiteral("%")));
    QVERIFY(text(b, "pump.fluid_load").endsWith(QStringLiteral("kN")));
    QVERIFY(text(b, "pump.rods").startsWith(QStringLiteral("第 ")));
    QVERIFY(b.value("pump.intake")->toolTip().contains(QStringLiteral("柱塞面积")));
    QVERIFY(b.Evidence->text().contains(QStringLiteral("第 1 级杆")));
    QVERIFY(b.EditRecord->isEnabled());
    // The drawing holds the pump card in its colour.
    int pump_ops = 0;
    for (const DrawOp& op : b.Picture->drawing().ops)
        if (op.color == kLightRed && (op.kind == OpKind::LineTo || op.kind == OpKind::Point)) ++pump_ops;
    QVERIFY(pump_ops > 100);

    if (qEnvironmentVariableIsSet("TAVO_SCREENSHOT_DIR")) {
        const QDir dir(qEnvironmentVariable("TAVO_SCREENSHOT_DIR"));
        f.panel->resize(520, 1400);
        QTest::qWait(300);
        QVERIFY(f.panel->grab().save(dir.filePath(QStringLiteral("pump-card-panel.png"))));
    }

    // The record edited in its dialog takes effect at once.
    const QString displacement = text(b, "pump.displacement");
    QTest::mouseClick(b.EditRecord, Qt::LeftButton);
    auto* dialog = f.panel->findChild<WellDialog*>();
    QVERIFY(dialog);
    QLineEdit* plunger = dialog->field(".pump.plunger_mm");
    QVERIFY(plunger);
    QCOMPARE(plunger->text().toDouble(), 32.0);
    plunger->setText(QStringLiteral("44"));
    QTest::mouseClick(dialog->save_button(), Qt::LeftButton);
    QVERIFY(text(b, "pump.displacement") != displacement);
    QCOMPARE(f.panel->wells().at("杨12-5").pump.plunger_mm, 44.0);

    // Records taken away: the section says why there is no pump card.
    f.panel->set_wells({});
    QVERIFY(!b.Picture->isVisibleTo(f.panel));
    QVERIFY(b.Note->text().contains(QStringLiteral("没有井“杨12-5”的基础数据")));
    QCOMPARE(text(b, "pump.fillage"), QStringLiteral("<none>"));
}

void PumpCardTest::withoutARecordTheSectionSaysSo() {
    PanelFixture f;
    f.open(false);
    QVERIFY(!QFile::exists(f.wells_db));  // reading never makes the database
    f.press_file(kYang);
    const PumpCardBox& b = *f.panel->Pump;
    QVERIFY(b.Note->text().contains(QStringLiteral("井基础数据…")));
    QString asked;
    f.panel->edit_well_record = [&](const std::string& well) { asked = QString::fromStdString(well); };
    QTest::mouseClick(b.EditRecord, Qt::LeftButton);
    QCOMPARE(asked, QStringLiteral("杨12-5"));
}

void PumpCardTest::theReportGivesThePumpCardAPage() {
    PanelFixture f;
    f.open(true);
    f.press_file(kYang);
    const QString out = f.tmp.filePath(QStringLiteral("r.pdf"));
    f.panel->ask_report_path = [&] { return out; };
    QTest::mouseClick(f.panel->ExportReport, Qt::LeftButton);
    QVERIFY(f.w->StatusLine->toolTip().contains(QStringLiteral("2 页")));
}

QTEST_MAIN(PumpCardTest)
#include "app_pump_card_test.moc"
