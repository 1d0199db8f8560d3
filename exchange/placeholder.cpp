#include "exchange/exchange.h"

namespace tavo {

// Placeholders until the exchange text is written.
void out_txt_file(State&) { throw ExchangeError("not yet available"); }
std::string MyStr(float, int16_t, int16_t) { return {}; }
float MyVal(std::string_view) { return 0.0f; }
std::vector<std::string> InvOutFile(State&, const std::string&) { throw ExchangeError("not yet available"); }

}  // namespace tavo
