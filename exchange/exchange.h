// The exchange text: writer, number fields, reader and tester-file rebuild.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/problem.h"
#include "record/state.h"
#include "record/window_hooks.h"

namespace tavo {

// Appends the test on display as one block to the file named in the output
// box (`target`, trimmed). A blank well name writes nothing. A problem leaves
// the file as it was.
Problem out_txt_file(const State& st, const std::string& target);

// The two halves of out_txt_file, for callers that build blocks of several
// tests at once and append them in order: the block of the test on display
// for the exchange file `target` (empty for a blank well name), and the
// append of a block, cut back when the write fails.
Problem out_txt_block(const State& st, const std::string& target, std::string& block);
Problem append_exchange_block(const std::string& target, const std::string& block);

// The block out_txt_file appends, in code page 936 with CR LF line ends.
// Throws Fault when a curve cannot be resampled (a stroke outside 1..3001
// included).
std::string exchange_block(const State& st);

// The date line of a test time text (200506180930 gives 2005-6-18).
std::string exchange_date_line(std::string_view test_time);

// The test time text of a date line (2005-6-18 gives 20050618); none when
// the line holds no "-".
std::optional<std::string> test_time_of_date_line(std::string_view line);

// The fixed-width number field and its reader.
std::string MyStr(float data, int16_t l, int16_t n);
float MyVal(std::string_view c);

// Called after each rebuilt tester file has been analysed, with its path.
using RebuiltFileHook = std::function<void(const std::string& path)>;

// What a rebuild wrote, and what stopped it or what its text lacked at the
// end (Problem::Kind::UnfinishedBlock: that block gave no tester file).
struct Rebuilt {
    std::vector<std::string> files;  // full paths, in the order of the blocks
    Problem problem;
};

// Rebuilds one tester file per complete block of the exchange text and
// analyses each (as a newly picked file). A problem in a block stops there;
// the tester files written before it stay.
// The hourglass (`hooks.set_busy`) shows while it works.
Rebuilt InvOutFile(State& st, const std::string& FileName, const RebuiltFileHook& on_file = {},
                   const WindowHooks& hooks = {});

// The folder the rebuilt tester files go to: the exchange file's path
// without the extension of its file name; none when the file name has no
// extension.
std::optional<std::string> rebuild_directory(const std::string& FileName);

// The well name as it may appear in a file name: characters a file name
// cannot hold become "_", and a name of dots alone cannot climb folders.
std::string safe_file_name(std::string_view well);

// Resamples the block held in the state to one stroke of Circle_Num
// samples, repeats it to 3000 records and writes the tester file into
// PathDir under the first free name FileName.O00 .. .O99, which `name`
// receives (without folder). Count is the block's point count, not used:
// the curves are always 144 points.
Problem Save_Org_file(State& st, const std::string& PathDir, const std::string& FileName, int16_t Count,
                      std::string& name);

}  // namespace tavo
