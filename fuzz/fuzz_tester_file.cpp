// Bytes as a tester file through the whole pipeline and the three views.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "analysis/pipeline.h"
#include "common/fault.h"
#include "fuzz_support.h"
#include "views/fixed_metrics.h"
#include "views/recording_surface.h"
#include "views/views.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto path = tavo::fuzz::scratch_dir() / "input.O00";
    tavo::fuzz::write_file(path, data, size);

    tavo::RecordingSurface surface(std::make_shared<tavo::FixedMetrics>());
    tavo::State st;
    st.picture = &surface;
    st.Circle_Tol = 0.02f;
    tavo::tx_org(st, path.string(), 1);
    tavo::Disp_Pow_Data(st);
    tavo::stmt([&] { tavo::RodEngMapDisplay(st); });
    tavo::iup_line_form(st, 10.0f, 10.0f);
    // A second file analysed in the same state, as a second click would.
    tavo::tx_org(st, path.string(), 1);
    return 0;
}
