// Bytes as a surface card, a well record and settings for the pump-card and
// surface-card solvers (fuzz/fuzz_downhole_body.h).
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_downhole_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string problem = tavo::fuzz::fuzz_downhole_once(data, size);
    if (!problem.empty()) {
        std::fputs(problem.c_str(), stderr);
        std::abort();
    }
    return 0;
}
