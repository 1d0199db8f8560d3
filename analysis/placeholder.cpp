#include "analysis/fourier.h"
#include "analysis/pipeline.h"
#include "record/tester_file.h"

namespace tavo {

// Placeholders until the analysis is written.
void tx_org(State& st, const std::string& PathName, int16_t flag) {
    if (flag == 1) {
        st.Cur_File = PathName;
        Load_Data(st, st.Cur_File);
    }
}
void Get_DFT(std::span<const float>, int16_t, std::span<float>, std::span<float>, int16_t) {}
void Put_DFT(std::span<float>, int16_t, std::span<const float>, std::span<const float>, int16_t) {}

}  // namespace tavo
