// Bytes as a tester file through the whole pipeline and the three views.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_bodies.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string problem = tavo::fuzz::fuzz_tester_file_once(data, size).problem;
    if (!problem.empty()) {
        std::fputs(problem.c_str(), stderr);
        std::abort();
    }
    return 0;
}
