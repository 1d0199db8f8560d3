// "井基础数据": the dialog that edits one well record: the rod string as a
// table of tapers, the pump, tubing, fluid, pressures, damping and notes.
// Every change is checked at once with the library's checks; the record is
// saved through the caller's function, which returns the store's problem.
#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <string>

#include "well/well_problem.h"
#include "well/well_record.h"
#include "welldb/well_store.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace tavo {

class WellDialog : public QDialog {
    Q_OBJECT
public:
    // Stores the record; an empty problem when it was stored.
    using SaveFn = std::function<welldb::StoreProblem(const well::WellRecord&)>;

    WellDialog(const well::WellRecord& record, SaveFn save, QWidget* parent = nullptr);

    // The record as the fields give it now (unreadable numbers left at 0).
    well::WellRecord record() const;
    // What the checks find in the fields now, errors and warnings.
    const well::WellProblems& problems() const { return problems_; }

    QTableWidget* taper_table() const { return tapers_; }
    QLineEdit* field(const std::string& path) const;
    QPushButton* save_button() const { return save_; }
    QLabel* problem_label() const { return problem_text_; }

    // Adds a taper below the selected one (or at the end), copying its diameter.
    void add_taper();
    // Removes the selected tapers.
    void remove_tapers();

private:
    void fill(const well::WellRecord& r);
    void revalidate();
    void save_now();

    SaveFn save_fn_;
    QLineEdit* well_ = nullptr;
    QTableWidget* tapers_ = nullptr;
    std::map<std::string, QLineEdit*> fields_;  // by the record's JSON path
    QCheckBox* anchored_ = nullptr;
    QPlainTextEdit* notes_ = nullptr;
    QLabel* totals_ = nullptr;
    QLabel* problem_text_ = nullptr;
    QPushButton* save_ = nullptr;
    well::WellProblems problems_;
    bool filling_ = false;
};

}  // namespace tavo
