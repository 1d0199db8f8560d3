// The well-condition analysis of one test as figures with words: what the
// window's panel, the printed report and the comparison show. No Qt.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "condition/card_diagnosis.h"
#include "condition/well_condition.h"
#include "downhole/pump_card.h"
#include "record/state.h"
#include "views/compare_view.h"
#include "well/well_record.h"

namespace tavo::summary {

// One figure: a stable key (for tests and widgets), the label, the value as
// shown, and how it is computed (the tooltip).
struct Figure {
    std::string key, label, value, how;
};

struct Section {
    std::string title;  // 周期校验, 平衡分析, 示功图诊断
    std::vector<Figure> figures;
    std::string note;                   // the conclusion in words
    std::vector<std::string> evidence;  // the diagnosis's reasons
};

// The well records at hand, by well name (trimmed). A record under the
// empty name stands for any well the book has no record of (a record given
// for the tests at hand).
using WellBook = std::map<std::string, well::WellRecord>;

// The record of the well of the test the state holds, if the book has one.
const well::WellRecord* record_of(const WellBook* wells, const State& st);

struct Analysis {
    condition::WellCondition condition;
    condition::CardDiagnosis card;
    condition::BalanceSettings settings;
    std::string well;  // the test's well, trimmed
    // The pump card, when the well has a record.
    std::optional<downhole::PumpCardResult> pump;
};

// Reads the state as the pipeline left it; with the record of the test's
// well, the pump card too.
Analysis analyse(const State& st, const condition::BalanceSettings& settings,
                 const well::WellRecord* well = nullptr);

// The period check, the balance and the card diagnosis, and the pump card
// when the well has a record.
std::vector<Section> analysis_sections(const Analysis& a);

// The diagnosed condition as the user reads it: its name, or
// "不确定：A48%或B31%" when the diagnosis needs review; "—" for none.
std::string condition_text(const condition::CardDiagnosis& d);

// A figure as the panel and the report show it: `decimals` places and the
// unit, "—" when there is none or it is not finite.
std::string figure_text(const std::optional<double>& v, int decimals, const std::string& unit = "");

// What speaks for the diagnosis; for one that needs review, what speaks for
// each of the two likeliest conditions, each line led by its name.
std::vector<std::string> card_evidence(const condition::CardDiagnosis& d);

// The main figures of the parameter table, from the result boxes.
std::vector<Figure> table_figures(const State& st);

// The comparison entry of the test, with the balance and the condition.
CompareTest compare_entry(const State& st, const Analysis& a);

// A test analysed on its own, as the first click after start does, and,
// with `verified_period`, recalculated on the verified period where the
// check disagrees; safe to run on several threads at once (nothing is drawn).
struct PreparedTest {
    std::string file;
    bool readable = false;
    std::string problem;  // in Chinese: why there is no analysis, or what was missing
    Problem load;         // what reading the file met (none, a warning, or why it was not read)
    std::unique_ptr<State> st;
    Analysis analysis;
};
PreparedTest prepare_test(const std::string& file, const condition::BalanceSettings& settings,
                          bool verified_period = false, const WellBook* wells = nullptr);

// The test a window holds, as it shows it (after a manual cycle or a
// recompute); the copy draws nothing and calls nothing back.
PreparedTest prepared_from(const State& st, const condition::BalanceSettings& settings,
                           const WellBook* wells = nullptr);

}  // namespace tavo::summary
