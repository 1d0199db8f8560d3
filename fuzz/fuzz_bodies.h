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

#include "analysis/pipeline.h"
#include "common/fault.h"
#include "exchange/exchange.h"
#include "fuzz/fuzz_support.h"
#include "views/fixed_metrics.h"
#include "views/recording_surface.h"
#include "views/views.h"

namespace tavo::fuzz {

struct RunResult {
    std::string problem;      // what went wrong without crashing
    int16_t circle = 0;       // tester file: the stroke length of the last click
    std::size_t rebuilt = 0;  // exchange text: tester files rebuilt
};

// Bytes as a tester file: the whole pipeline, the three views and the
// exchange block, twice in one state as two clicks would.
inline RunResult fuzz_tester_file_once(const uint8_t* data, size_t size) {
    const auto path = target_dir("tester_file") / "input.O00";
    write_file(path, data, size);

    RecordingSurface surface(std::make_shared<FixedMetrics>());
    State st;
    st.picture = &surface;
    st.Circle_Tol = 0.02f;
    for (int click = 0; click < 2; ++click) {
        // A file that cannot be read is not analysed; the front ends then
        // show and export nothing of it.
        if (tx_org(st, path.string(), 1).unreadable()) continue;
        Disp_Pow_Data(st);
        stmt([&] { RodEngMapDisplay(st); });
        iup_line_form(st, 10.0f, 10.0f);
        // A stroke that cannot be resampled is the writer's clear refusal.
        stmt([&] { (void)exchange_block(st); });
    }
    RunResult run;
    run.circle = st.Circle_Num;
    return run;
}

// Text as an exchange file: the reader and the rebuild into a scratch
// folder. Nothing may be written outside the folder of the rebuilt files.
inline RunResult fuzz_exchange_once(const uint8_t* data, size_t size) {
    namespace fs = std::filesystem;
    const fs::path dir = target_dir("exchange");
    const fs::path text = dir / "input.Txt";
    const fs::path target = dir / "input";
    write_file(text, data, size);

    RunResult run;
    std::string& problem = run.problem;
    State st;
    st.Circle_Tol = 0.02f;
    std::vector<std::string> written;
    try {
        written = InvOutFile(st, text.string());
    } catch (const ExchangeError&) {
        // a clear error is a valid outcome
    }
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

}  // namespace tavo::fuzz
