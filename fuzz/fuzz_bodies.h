// One run of each fuzz target, shared by the libFuzzer entry points and the
// test that replays the committed inputs in the ordinary build. A crash, a
// sanitizer report or an escaping exception is a finding; a broken promise
// that does not crash is returned in `problem` (empty when all held).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "analysis/pick_file.h"
#include "common/fault.h"
#include "condition/card_diagnosis.h"
#include "condition/verified_rerun.h"
#include "condition/well_condition.h"
#include "exchange/exchange.h"
#include "session/session.h"
#include "support/files.h"
#include "support/scratch.h"
#include "views/fixed_metrics.h"
#include "views/recording_surface.h"
#include "views/views.h"
#include "well/well_csv.h"
#include "well/well_json.h"

namespace tavo::fuzz {

// A folder of its own for each target inside the process's scratch folder
// (removed at exit), so that two targets run in one process do not see
// each other's files.
inline std::filesystem::path target_dir(const char* target) {
    const std::filesystem::path d = testing::process_scratch_dir() / target;
    std::error_code ec;
    std::filesystem::create_directories(d, ec);
    return d;
}

struct RunResult {
    std::string problem;      // what went wrong without crashing
    int16_t circle = 0;       // tester file: the stroke length of the last click
    std::size_t rebuilt = 0;  // exchange text: tester files rebuilt
};

// Bytes as a tester file: the whole pipeline, the three views, the
// exchange block and the condition analysis, twice in one state as two
// clicks would; then the rerun on the verified period.
inline RunResult fuzz_tester_file_once(const uint8_t* data, size_t size) {
    const auto path = target_dir("tester_file") / "input.O00";
    testing::write_bytes(path, data, size);

    RecordingSurface surface(std::make_shared<FixedMetrics>());
    Session session;
    session.picture = &surface;
    State& st = session.st;
    RunResult run;
    for (int click = 0; click < 2; ++click) {
        // A file that cannot be read is not analysed; the front ends then
        // show and export nothing of it.
        if (not_analysed(pick_file(session, path.string()))) continue;
        Disp_Pow_Data(st, surface);
        stmt([&] { RodEngMapDisplay(st, surface); });
        iup_line_form(st, surface, 10.0f, 10.0f);
        // A stroke that cannot be resampled is the writer's clear refusal.
        stmt([&] { (void)exchange_block(st); });
        const condition::WellCondition c = condition::assess_condition(st);
        if (c.period.verified() && !(c.period.period > 0.0 && c.period.period < kArrayLen))
            run.problem += "verified period out of range\n";
        // The card diagnosis reads the state and must cope with any card.
        const condition::CardDiagnosis card = condition::diagnose(st, c.period);
        if (card.condition.empty() || !(card.confidence >= 0.0 && card.confidence <= 1.0))
            run.problem += "card diagnosis without a condition or confidence\n";
    }
    run.circle = st.Circle_Num;
    (void)condition::rerun_with_verified_period(st);
    if (st.Circle_Num < 0 || st.Circle_Num > 3000) run.problem += "rerun outside the arrays\n";
    if (condition::diagnose(st).condition.empty())
        run.problem += "card diagnosis after the rerun without a condition\n";
    return run;
}

// Text as an exchange file: the reader and the rebuild into a scratch
// folder. Nothing may be written outside the folder of the rebuilt files.
inline RunResult fuzz_exchange_once(const uint8_t* data, size_t size) {
    namespace fs = std::filesystem;
    const fs::path dir = target_dir("exchange");
    const fs::path text = dir / "input.Txt";
    const fs::path target = dir / "input";
    testing::write_bytes(text, data, size);

    RunResult run;
    std::string& problem = run.problem;
    State st;
    // A problem reported is a valid outcome.
    const std::vector<std::string> written = InvOutFile(st, text.string()).files;
    std::error_code ec;
    const fs::path base = fs::weakly_canonical(target, ec);
    for (const auto& w : written) {
        const fs::path p = fs::weakly_canonical(w, ec);
        if (p.parent_path() != base) problem += "rebuilt outside the folder: " + w + "\n";
    }
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        if (e.path() != text && e.path() != target) problem += "stray file: " + e.path().string() + "\n";
    }
    // Leave the scratch folder as found, whatever the run wrote there.
    std::vector<fs::path> leftovers;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        if (e.path() != text) leftovers.push_back(e.path());
    }
    for (const auto& p : leftovers) fs::remove_all(p, ec);
    run.rebuilt = written.size();
    return run;
}

// Bytes as a file of well records, read both as JSON and as CSV. Whatever
// a reader accepts has no error in its checks, and reads back the same from
// what the writers make of it.
inline RunResult fuzz_well_import_once(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    RunResult run;
    const auto promises = [&run](const well::ImportResult& in, const char* what) {
        if (in.records.empty()) return;
        for (const well::WellProblem& p : in.problems) {
            if (!p.warning()) run.problem += std::string(what) + ": records returned with an error\n";
        }
        const std::string json = well::write_json(in.records);
        const well::ImportResult back = well::read_json(json);
        if (well::write_json(back.records) != json)
            run.problem += std::string(what) + ": JSON round trip differs\n";
        const std::string csv = well::write_csv(in.records);
        const well::ImportResult from_csv = well::read_csv(csv);
        if (well::write_json(from_csv.records) != json)
            run.problem += std::string(what) + ": CSV round trip differs\n";
    };
    promises(well::read_json(text), "json");
    promises(well::read_csv(text), "csv");
    return run;
}

}  // namespace tavo::fuzz
