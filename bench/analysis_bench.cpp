// The whole analysis of one test from memory: the loaded sample arrays and
// header are restored, then the pipeline runs both detectors as it does,
// both calculations and no drawing. One benchmark per sample test; set
// TAVO_BENCH_DIR to a folder of tester files to measure another corpus.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analysis/pick_file.h"
#include "analysis/pipeline.h"
#include "record/state.h"
#include "record/tester_file.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> bench_files() {
    const char* dir = std::getenv("TAVO_BENCH_DIR");
    if (!dir) return tavo::testing::sample_files();
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (e.is_regular_file() && tavo::testing::is_tester_file(e.path())) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

void analyse_from_memory(benchmark::State& bs, const fs::path& file) {
    auto loaded = std::make_unique<tavo::State>();
    tavo::Load_Data(*loaded, file.string());
    auto st = std::make_unique<tavo::State>(*loaded);
    st->Circle_Tol = 0.02f;
    tavo::Workspace work;
    for (auto _ : bs) {
        // "Load": the arrays and boxes as Load_Data leaves them.
        st->Cur_Dat = loaded->Cur_Dat;
        st->Vol_Dat = loaded->Vol_Dat;
        st->Pow_Dat = loaded->Pow_Dat;
        st->Var_Dat = loaded->Var_Dat;
        st->VA_Dat = loaded->VA_Dat;
        st->PF_Dat = loaded->PF_Dat;
        st->Pos_Dat = loaded->Pos_Dat;
        st->Force_Dat = loaded->Force_Dat;
        st->Rec_Spd = loaded->Rec_Spd;
        tavo::tx_org(*st, work, file.string(), 0);
        benchmark::DoNotOptimize(st->Circle_Num);
    }
    bs.counters["Circle_Num"] = st->Circle_Num;
}

void analyse_file(benchmark::State& bs, const fs::path& file) {
    auto st = std::make_unique<tavo::State>();
    tavo::Workspace work;
    for (auto _ : bs) {
        tavo::pick_file(*st, work, file.string());
        benchmark::DoNotOptimize(st->Circle_Num);
    }
}

const bool registered = [] {
    for (const auto& f : bench_files()) {
        const std::string name = f.filename().string();
        benchmark::RegisterBenchmark(("analysis/memory/" + name).c_str(), [f](benchmark::State& bs) {
            analyse_from_memory(bs, f);
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("analysis/file/" + name).c_str(), [f](benchmark::State& bs) {
            analyse_file(bs, f);
        })->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace
