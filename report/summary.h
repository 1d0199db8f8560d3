// The well-condition analysis of one test as figures with words: what the
// window's panel, the printed report and the comparison show. No Qt.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "condition/card_diagnosis.h"
#include "condition/well_condition.h"
#include "record/state.h"
#include "views/compare_view.h"

namespace tavo::report {

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

struct Analysis {
    condition::WellCondition condition;
    condition::CardDiagnosis card;
    condition::BalanceSettings settings;
};

// Reads the state as the pipeline left it.
Analysis analyse(const State& st, const condition::BalanceSettings& settings);

std::vector<Section> analysis_sections(const Analysis& a);

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
                          bool verified_period = false);

// The test a window holds, as it shows it (after a manual cycle or a
// recompute); the copy draws nothing and calls nothing back.
PreparedTest prepared_from(const State& st, const condition::BalanceSettings& settings);

}  // namespace tavo::report
