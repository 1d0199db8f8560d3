#include "cli/period_option.h"

#include "condition/verified_rerun.h"

namespace tavo::cli {

void add_period_option(CLI::App* sub, std::string& mode) {
    sub->add_option("--period", mode,
                    "Stroke period to calculate on: \"detected\" (default, the legacy detection) or "
                    "\"verified\" (where an independent check of the whole record disagrees with the "
                    "detection, the cycle becomes the verified period + 1 samples and the electrical and "
                    "card results are calculated again)")
        ->check(CLI::IsMember({"detected", "verified"}))
        ->default_str("detected");
}

void apply_period_option(const std::string& mode, State& st) {
    if (mode == "verified") (void)tavo::condition::rerun_with_verified_period(st);
}

}  // namespace tavo::cli
