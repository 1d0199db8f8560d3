// Tester files with a known stroke period and counterbalance for the
// condition tests, analysed as a click would.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "analysis/pipeline.h"
#include "record/state.h"
#include "tester_file_support.h"
#include "tools/condition_model.h"

namespace tavo::testing {

// A 3 m full-pump card between 20 and 35 kN.
inline samples::CardShape model_card() {
    samples::CardShape c = samples::synthetic_card(samples::SyntheticKind::FullPump);
    for (double& x : c.pos) x *= 3.0;
    for (double& l : c.load) l = 20.0 + 15.0 * l;
    return c;
}

// Writes the test into `dir` and analyses it in `st` as a click would.
inline samples::ModelTruth analyse_model(State& st, const std::filesystem::path& dir,
                                         const samples::CardShape& card, const samples::ModelPlan& plan,
                                         const std::string& name = "model.O00") {
    const samples::ModelTest t = samples::make_model_test(card, plan);
    const std::vector<uint8_t> bytes = samples::encode_model_test(plan, t.curves, "MODEL");
    const auto path = dir / name;
    write_bytes(path, std::string(bytes.begin(), bytes.end()));
    st.Circle_Tol = 0.02f;
    tx_org(st, path.string(), 1);
    return t.truth;
}

}  // namespace tavo::testing
