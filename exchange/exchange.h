// The exchange text: writer, number fields, reader and tester-file rebuild.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "record/state.h"

namespace tavo {

// A conversion that could not go on; the message names the file, the block
// (well and line) where known, and the reason. Blocks and tester files
// written before the error stay.
class ExchangeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Appends the test on display as one block to the file named in TxtOutFile.
// A blank well name writes nothing. Throws ExchangeError.
void out_txt_file(State& st);

// The fixed-width number field and its reader.
std::string MyStr(float data, int16_t l, int16_t n);
float MyVal(std::string_view c);

// Rebuilds one tester file per complete block of the exchange text and
// analyses each (as a newly picked file). Returns the full paths of the
// tester files written, in order. Throws ExchangeError.
std::vector<std::string> InvOutFile(State& st, const std::string& FileName);

}  // namespace tavo
