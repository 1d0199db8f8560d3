// The window with its analysis panel opened through F2, its settings and its
// well database in the test's own folder.
#pragma once

#include <QSettings>
#include <QTest>

#include "app/analysis_panel.h"
#include "app/well_records.h"
#include "support/window_fixture.h"

namespace tavo::testing {

struct PanelFixture : WindowFixture {
    AnalysisPanel* panel = nullptr;
    QString wells_db;
    // `seed`: the sample wells go into the database first, as at the
    // program's first start.
    void open(bool seed = false) {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           tmp.filePath(QStringLiteral("settings")));
        wells_db = tmp.filePath(QStringLiteral("wells/wells.sqlite"));
        qputenv("TAVO_WELLS_DB", wells_db.toUtf8());
        start();
        if (seed) QCOMPARE(seed_well_records(data), QString());
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_F2);
        panel = w->findChild<AnalysisPanel*>();
        QVERIFY(panel && panel->isVisible());
    }
};

}  // namespace tavo::testing
