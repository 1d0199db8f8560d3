// Whole-file operations that never leave a half-written file behind. Each
// returns why it failed, or an empty IoFailure. A folder, device or pipe at
// the path is refused: none of them can be read or written whole.
#pragma once

#include <string>

#include "common/problem.h"

namespace tavo::file_io {

// The reasons given for a path that is no ordinary file (not_ordinary_file).
inline constexpr const char* kIsFolder = "it is a folder";
inline constexpr const char* kNotOrdinary = "it is not an ordinary file";

// Why the file at `path` (links followed) cannot be read or written whole:
// empty when it is an ordinary file or when nothing is there yet.
std::string not_ordinary_file(const std::string& path);
IoFailure not_ordinary(const std::string& path);

// The whole content of a file.
IoFailure read_all(const std::string& path, std::string& content);

// Appends `bytes` in one piece; when the write fails part way the file is
// cut back to its former length, so no half block is left, and a file this
// call created is removed again.
IoFailure append_all(const std::string& path, const std::string& bytes);

// Writes `bytes` as the file `path` through a temporary file in the same
// folder and a rename: a failure never leaves a half-written file. The new
// file gets `mode` (the default: 0666 less the umask). `no_temp` is set when
// the folder itself does not allow the temporary file. A symbolic link at
// `path` is refused; resolve it first.
IoFailure replace_all(const std::string& path, const std::string& bytes, int mode = -1,
                      bool* no_temp = nullptr);

// Writes `bytes` over the start of an existing or new file in place; the
// bytes beyond stay. When the write fails part way (a full disk) the old
// content is put back.
IoFailure write_in_place(const std::string& path, const std::string& bytes);

}  // namespace tavo::file_io
