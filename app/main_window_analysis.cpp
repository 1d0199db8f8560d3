// The window's side of the analysis panel: the F2 key, the button at the
// end of the status line, keeping the panel on the test on display, and
// the recompute with the verified period.
#include <QCheckBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "app/analysis_panel.h"
#include "app/file_list.h"
#include "app/main_window.h"
#include "app/picture_widget.h"
#include "common/number_text.h"
#include "condition/period_check.h"
#include "condition/verified_rerun.h"
#include "views/views.h"

namespace tavo {

void MainWindow::install_analysis_panel() {
    // The button takes the right end of the status line; the legacy layout
    // above it stays where it is.
    constexpr int kButtonWidth = 76;
    const QRect line = StatusLine->geometry();
    StatusLine->setGeometry(line.x(), line.y(), line.width() - kButtonWidth, line.height());
    AnalysisButton = new QPushButton(QStringLiteral("井况分析"), this);
    AnalysisButton->setObjectName(QStringLiteral("AnalysisButton"));
    AnalysisButton->setGeometry(line.right() + 1 - kButtonWidth, line.y(), kButtonWidth, line.height());
    AnalysisButton->setToolTip(QStringLiteral("打开井况分析窗口：周期校验、平衡分析、示功图诊断（F2）"));
    connect(AnalysisButton, &QPushButton::clicked, this, [this] { show_analysis_panel(); });
    auto* f2 = new QShortcut(QKeySequence(Qt::Key_F2), this);
    connect(f2, &QShortcut::activated, this, [this] { show_analysis_panel(); });

    // Connected after the window's own handlers, so these run once the
    // handler has finished with the state.
    connect(File1, &FileListBox::buttonPressed, this, [this] { analysis_changed(); });
    connect(File1, &FileListBox::keyMoved, this, [this] { analysis_changed(); });
    connect(CircleDot, &QLineEdit::returnPressed, this, [this] { analysis_changed(); });
    connect(CmdOutFile, &QPushButton::clicked, this, [this] { analysis_changed(); });
    for (QCheckBox* lock : {Chk_SGT, Chk_POW})
        connect(lock, &QCheckBox::toggled, this, [this] { analysis_changed(); });
}

AnalysisPanel* MainWindow::analysis_panel() {
    if (!panel_) {
        PanelHost host;
        host.shown = [this]() -> const State& { return st; };
        host.selected_paths = [this] {
            QStringList paths;
            for (const QString& n : File1->selectedNames()) paths << full_path(n);
            return paths;
        };
        host.folder = [this] { return File1->path(); };
        host.status = [this](const QString& text, bool failure) { set_status(text, failure); };
        host.recompute = [this] { recompute_with_verified_period(); };
        panel_ = new AnalysisPanel(this, std::move(host));
    }
    return panel_;
}

void MainWindow::show_analysis_panel() {
    AnalysisPanel* p = analysis_panel();
    p->show();
    p->raise();
    p->activateWindow();
}

void MainWindow::analysis_changed() {
    if (panel_ && panel_->isVisible()) panel_->refresh();
}

bool MainWindow::recompute_with_verified_period() {
    if (!analysed(st.last_load)) return false;
    controls_to_state();
    const condition::PeriodCheck check = condition::check_period(st);
    const auto agrees = check.agrees();
    if (!agrees || *agrees) return false;
    const int before = st.Circle_Num;
    const bool rerun = condition::rerun_with_cycle(st, check.cycle_length());
    if (rerun) show_chart_first(session);
    if (!rerun) {
        set_status(
            QStringLiteral("无法按校验周期重新计算：%1 已无法读取").arg(QString::fromStdString(st.Cur_File)),
            true);
        return false;
    }
    state_to_controls();
    Picture1->update();
    set_status(QStringLiteral("结果已按校验周期重新计算：周期 %1 点（原检测 %2 点），冲次 %3")
                   .arg(st.Circle_Num)
                   .arg(before)
                   .arg(QString::fromStdString(
                       condition::stroke_rate_text(leading_number(st.Text3[Box::StrokesPerMinute])))));
    analysis_changed();
    return true;
}

}  // namespace tavo
