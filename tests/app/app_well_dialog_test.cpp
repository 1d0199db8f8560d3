// The dialog "井基础数据": filled from a record, checked as the engineer
// types, tapers added and removed, saved through the caller's function.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <optional>

#include "app/well_dialog.h"
#include "well/well_defaults.h"

using namespace tavo;

namespace {

well::WellRecord sample_record() {
    well::WellRecord r;
    r.well = "杨12-5";
    well::RodTaper top;
    top.length_m = 320.0;
    top.diameter_mm = 22.0;
    top.tensile_MPa = 793.0;
    top.grade = "D";
    well::RodTaper bottom;
    bottom.length_m = 760.0;
    bottom.diameter_mm = 19.0;
    bottom.weight_kg_per_m = 2.45;
    r.rods = {top, bottom};
    r.pump = {1080.0, 32.0};
    r.fluid.water_cut_pct = 82.0;
    r.notes = "正常生产";
    return r;
}

}  // namespace

class WellDialogTest : public QObject {
    Q_OBJECT
private slots:
    void filledFromTheRecordAndReadBackUnchanged();
    void typingIsCheckedAtOnce();
    void tapersAddedAndRemoved();
    void savedThroughTheCallerOrToldWhyNot();
};

void WellDialogTest::filledFromTheRecordAndReadBackUnchanged() {
    WellDialog d(sample_record(), {});
    QCOMPARE(d.windowTitle(), QStringLiteral("井基础数据"));
    QCOMPARE(d.taper_table()->rowCount(), 2);
    QCOMPARE(d.taper_table()->item(1, 2)->text(), QStringLiteral("2.45"));
    QCOMPARE(d.field(".pump.depth_m")->text(), QStringLiteral("1080"));
    QVERIFY(d.problems().empty());
    QVERIFY(d.save_button()->isEnabled());
    const well::WellRecord r = d.record();
    const well::WellRecord s = sample_record();
    QCOMPARE(r.rods.size(), s.rods.size());
    QCOMPARE(*r.rods[0].tensile_MPa, 793.0);
    QVERIFY(!r.rods[0].weight_kg_per_m);
    QCOMPARE(*r.rods[1].weight_kg_per_m, 2.45);
    QCOMPARE(r.fluid.water_cut_pct, 82.0);
    QVERIFY(!r.damping_nu);
    QCOMPARE(r.notes, s.notes);
    // The table's weight is offered where the cell is empty.
    QVERIFY(d.taper_table()->item(0, 2)->toolTip().contains(QStringLiteral("3.31")));
}

void WellDialogTest::typingIsCheckedAtOnce() {
    WellDialog d(sample_record(), {});
    d.taper_table()->item(0, 1)->setText(QStringLiteral("2x"));
    QVERIFY(!d.save_button()->isEnabled());
    QVERIFY(d.problem_label()->text().contains(QStringLiteral("第1级杆 直径 (mm)")));
    QVERIFY(d.problem_label()->text().contains(QStringLiteral("不是数字")));
    d.taper_table()->item(0, 1)->setText(QStringLiteral("27"));  // not in the table, no weight
    QVERIFY(!d.save_button()->isEnabled());
    QVERIFY(d.problem_label()->text().contains(QStringLiteral("须填写每米重量")));
    d.taper_table()->item(0, 2)->setText(QStringLiteral("4.0"));
    QVERIFY(d.save_button()->isEnabled());

    d.field(".fluid.water_kg_m3")->setText(QStringLiteral("100"));
    QVERIFY(!d.save_button()->isEnabled());
    QVERIFY(d.problem_label()->text().contains(QStringLiteral("地层水密度")));
    d.field(".fluid.water_kg_m3")->clear();  // empty: the default
    QVERIFY(d.save_button()->isEnabled());
    QCOMPARE(d.record().fluid.water_kg_m3, well::default_fluid.water_kg_m3);

    // A pump depth the tapers do not reach: a warning only.
    d.field(".pump.depth_m")->setText(QStringLiteral("1500"));
    QVERIFY(d.save_button()->isEnabled());
    QVERIFY(d.problem_label()->text().startsWith(QStringLiteral("注意：")));
    d.field(".pump.depth_m")->clear();
    QVERIFY(!d.save_button()->isEnabled());
    QVERIFY(d.problem_label()->text().contains(QStringLiteral("泵深 (m)：必须填写")));
}

void WellDialogTest::tapersAddedAndRemoved() {
    WellDialog d(sample_record(), {});
    d.taper_table()->setCurrentCell(0, 0);
    d.add_taper();
    QCOMPARE(d.taper_table()->rowCount(), 3);
    QCOMPARE(d.taper_table()->item(1, 1)->text(), QStringLiteral("22"));  // diameter copied from above
    QVERIFY(!d.save_button()->isEnabled());                               // its length is missing
    d.taper_table()->item(1, 0)->setText(QStringLiteral("100"));
    QCOMPARE(d.record().rods.size(), std::size_t{3});
    QCOMPARE(d.record().rods[1].length_m, 100.0);
    d.taper_table()->clearSelection();
    d.taper_table()->setRangeSelected(QTableWidgetSelectionRange(0, 0, 1, 5), true);
    d.remove_tapers();
    QCOMPARE(d.taper_table()->rowCount(), 1);
    QCOMPARE(d.record().rods[0].length_m, 760.0);
    d.taper_table()->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 5), true);
    d.remove_tapers();
    QVERIFY(!d.save_button()->isEnabled());
    QVERIFY(d.problem_label()->text().contains(QStringLiteral("至少要有一级抽油杆")));
}

void WellDialogTest::savedThroughTheCallerOrToldWhyNot() {
    std::optional<well::WellRecord> saved;
    welldb::StoreProblem next;
    next.kind = welldb::StoreProblem::Kind::Locked;
    next.path = "/x/wells.sqlite";
    WellDialog d(sample_record(), [&](const well::WellRecord& r) {
        saved = r;
        return next;
    });
    d.field(".pump.plunger_mm")->setText(QStringLiteral("38"));
    d.save_button()->click();
    QVERIFY(saved);
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QVERIFY(d.problem_label()->text().contains(QStringLiteral("正被其他程序占用")));
    next = {};
    d.save_button()->click();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(saved->pump.plunger_mm, 38.0);
    QCOMPARE(saved->well, std::string("杨12-5"));
}

QTEST_MAIN(WellDialogTest)
#include "app_well_dialog_test.moc"
