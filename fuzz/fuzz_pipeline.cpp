// Bytes as a tester file through the reader and the analysis alone: no
// drawing, no exchange writer and no file system, so that libFuzzer runs
// a thousand inputs a second and more and reaches the reader's and the
// stroke detection's corners; fuzz_tester_file keeps the whole path, and
// reads each input twice as two clicks would.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "analysis/pipeline.h"
#include "analysis/workspace.h"
#include "record/tester_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A state of its own for each input, so that a finding replays alone.
    // The workspace is the process's, as a batch worker's is: nothing in it
    // carries over from one input to the next.
    static tavo::Workspace work;
    auto st = std::make_unique<tavo::State>();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (tavo::not_analysed(tavo::load_tester_bytes(*st, work.read, bytes))) return 0;
    (void)tavo::tx_org(*st, work, {}, 0);
    if (st->Circle_Num < 1 || st->Circle_Num > tavo::kMaxSamples) {
        std::fprintf(stderr, "stroke length %d outside 1..%d\n", st->Circle_Num, tavo::kMaxSamples);
        std::abort();
    }
    return 0;
}
