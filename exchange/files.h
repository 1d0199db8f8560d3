// File operations of the exchange text and the rebuild. Each returns an
// empty text on success and the system's reason otherwise.
#pragma once

#include <string>

namespace tavo::exchange_files {

// The whole content of a file.
std::string read_all(const std::string& path, std::string& content);

// Appends `bytes` in one piece; when the write fails part way the file is
// cut back to its former length, so no half block is left.
std::string append_all(const std::string& path, const std::string& bytes);

// Writes `bytes` as the file `path` through a temporary file in the same
// folder and a rename: a failure never leaves a half-written file.
std::string replace_all(const std::string& path, const std::string& bytes);

}  // namespace tavo::exchange_files
