#include "cli/balance_options.h"

#include <sstream>

namespace tavo::cli {

namespace {

// "LO,HI" in percent, 0 <= LO < HI.
bool parse_band(const std::string& text, double& lo, double& hi) {
    std::istringstream in(text);
    char comma = 0;
    if (!(in >> lo >> comma >> hi) || comma != ',') return false;
    in >> std::ws;
    return in.eof() && lo >= 0.0 && lo < hi && hi < 1e6;
}

}  // namespace

void add_balance_options(CLI::App* sub, condition::BalanceSettings& settings) {
    sub->add_option_function<std::string>(
           "--balance-band",
           [&settings](const std::string& s) {
               double lo = 0, hi = 0;
               parse_band(s, lo, hi);  // checked below
               settings.band_low = lo / 100.0;
               settings.band_high = hi / 100.0;
           },
           "Accepted power ratio (down-stroke / up-stroke mean power over the true strokes) in percent, "
           "as LO,HI")
        ->check(CLI::Validator(
            [](std::string& s) {
                double lo = 0, hi = 0;
                return parse_band(s, lo, hi) ? std::string()
                                             : std::string("expected LO,HI in percent with 0 <= LO < HI");
            },
            "LO,HI"))
        ->default_str("80,120");
    sub->add_option("--drive-efficiency", settings.efficiency,
                    "Efficiency from the mains to the polished rod (motor, belts, gearbox), used to turn the "
                    "motor's energy into rod work for the counterbalance change")
        ->check(CLI::Range(0.3, 1.0))
        ->default_str("0.85");
}

}  // namespace tavo::cli
