// "井况分析": a tool window beside the main window with the well-condition
// analysis of the test on display: the period check (and the recompute
// with the verified period), the balance with its settings, and the card
// diagnosis; the report export and the comparison of selected files.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "summary/analysis_summary.h"

class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace tavo {

class CardThumb;
class PumpCardBox;

// What the panel needs of the window it serves, and no more.
struct PanelHost {
    // The analysis the window shows.
    std::function<const State&()> shown;
    // The full paths of the files selected in the window's list, and the
    // folder it lists.
    std::function<QStringList()> selected_paths;
    std::function<QString()> folder;
    // A message on the window's status line, red for a failure.
    std::function<void(const QString& text, bool failure)> status;
    // Recalculates the test on display with the verified period.
    std::function<void()> recompute;
};

class AnalysisPanel : public QWidget {
    Q_OBJECT
public:
    // A tool window of `window`, which it serves through `host`.
    AnalysisPanel(QWidget* window, PanelHost host);

    // Recomputes the analysis of the test the window holds and shows it.
    void refresh();

    // The value label of a figure by its key ("period.verified", ...).
    QLabel* value(const std::string& key) const;
    QLabel* note(int section) const { return notes_[section]; }
    const summary::Analysis& analysis() const { return analysis_; }
    condition::BalanceSettings settings() const;

    QLabel* Heading = nullptr;
    QPushButton* Recompute = nullptr;
    QDoubleSpinBox *BandLow = nullptr, *BandHigh = nullptr, *Efficiency = nullptr;
    QLabel* Evidence = nullptr;
    CardThumb* Thumb = nullptr;
    QPushButton* ExportReport = nullptr;
    QPushButton* Compare = nullptr;
    PumpCardBox* Pump = nullptr;

    // The well records the pump card reads; replacing them refreshes.
    void set_wells(summary::WellBook wells);
    const summary::WellBook& wells() const { return wells_; }
    // Opens the record of the test's well for editing; tests replace it.
    std::function<void(const std::string& well)> edit_well_record;

    // Asks where to write the report; empty to cancel. Tests replace it.
    std::function<QString()> ask_report_path;
    // Called after each test written into the report (index); tests cancel here.
    std::function<void(int)> report_step;
    // The comparison window opened last, while it is open.
    QPointer<QDialog> last_compare;

    void export_report();
    void compare_selected();
    // "井基础数据…": the record of the well, saved into the database.
    void open_well_dialog(const std::string& well);

protected:
    void showEvent(QShowEvent* e) override;

private:
    QGroupBox* section_box(int index, const summary::Section& s);
    void settings_changed();
    void load_settings();
    void couple_band();

    PanelHost host_;
    summary::Analysis analysis_;
    summary::WellBook wells_;
    std::map<std::string, QLabel*> values_, labels_;
    QGroupBox* boxes_[3] = {};
    QLabel* notes_[3] = {};
    bool loading_ = false;
};

}  // namespace tavo
