// Text as an exchange file through the reader and the rebuild.
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "exchange/exchange.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace fs = std::filesystem;
    const fs::path dir = tavo::fuzz::scratch_dir();
    const fs::path text = dir / "input.Txt";
    tavo::fuzz::write_file(text, data, size);
    tavo::State st;
    st.Circle_Tol = 0.02f;
    try {
        tavo::InvOutFile(st, text.string());
    } catch (const tavo::ExchangeError&) {
        // a clear error is a valid outcome
    }
    // Every rebuilt file lies inside the target folder.
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        if (e.path() != text && e.path() != dir / "input") std::abort();
    }
    fs::remove_all(dir / "input", ec);
    return 0;
}
