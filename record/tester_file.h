// Reading a tester file into the analysis state and writing it back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "record/state.h"
#include "record/window_hooks.h"

namespace tavo {

// The memory the reading works in, owned by the caller and reused from file
// to file (a batch reads each file into the same blocks): the file's bytes
// and its samples' five words in engineering units. Nothing in it carries
// over from one file to the next.
struct ReadWorkspace {
    std::string bytes;
    std::vector<float> U, A, P, D, L;
};

// Reads the header and the samples of `str_file` into the state (unless the
// lock boxes keep a group of curves), derives current or reactive power,
// apparent power and power factor, and fills the header boxes. What it met
// is returned and kept in `st.last_load` (no problem for a whole file, its
// records counted); a file it cannot read (see not_analysed) changes
// nothing else.
Problem Load_Data(State& st, ReadWorkspace& work, const std::string& str_file);
// The same in a workspace of its own for this one call.
Problem Load_Data(State& st, const std::string& str_file);

// Load_Data of a tester file already held in memory.
Problem load_tester_bytes(State& st, ReadWorkspace& work, std::string_view bytes);

// Writes the header record and the arrays back into the file named in the
// output box (`target`, trimmed; it becomes Cur_File), asking through
// `hooks.ask_yes_no` before overwriting and refreshing the file list after.
// The new content replaces the file atomically where the folder allows it.
SaveReport Save_Data(State& st, const std::string& target, const WindowHooks& hooks = {});

// The apparent-power factor k of the test mode's low three bits.
float apparent_factor(int16_t test_mode);

}  // namespace tavo
