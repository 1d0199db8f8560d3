// Tester files and other bytes on disk, and where the test data lies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "record/org_records.h"

namespace tavo::testing {

// The bytes of a tester file with this header and these records.
std::string file_bytes(const Org_Head& h, const std::vector<Org_Point>& pts);

void write_bytes(const std::filesystem::path& p, const std::string& bytes);
void write_bytes(const std::filesystem::path& p, const uint8_t* data, std::size_t size);
std::string read_bytes(const std::filesystem::path& p);

// A curve line of the exchange text: `field` n times.
std::string repeat(const std::string& field, int n = 144);

// A tester file by its name: the extension .O00 to .O99, either case.
bool is_tester_file(const std::filesystem::path& p);

// The source tree and its committed sample tests.
std::filesystem::path source_dir();
std::filesystem::path samples_dir();
// The sample tests in name order.
std::vector<std::filesystem::path> sample_files();

// Data kept beside the source tree, outside the repository (`../shared`):
// the folder `what` in it when it exists. Tests that need it skip without it.
std::optional<std::filesystem::path> shared_data(const std::string& what);

}  // namespace tavo::testing
