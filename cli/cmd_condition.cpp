#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/analysis_json.h"
#include "cli/card_json.h"
#include "cli/click_analysis.h"
#include "cli/commands.h"
#include "cli/condition_json.h"
#include "cli/downhole_json.h"
#include "cli/in_order.h"
#include "cli/period_option.h"
#include "cli/well_book.h"
#include "condition/card_diagnosis.h"
#include "condition/pump_card_of.h"
#include "condition/verified_rerun.h"
#include "condition/well_condition.h"
#include "record/state.h"

namespace tavo::cli {

namespace {

struct InspectOptions {
    std::vector<std::string> files;
    int jobs = 0;
    std::string period = "detected";
    std::string band = "80,120";
    tavo::condition::BalanceSettings settings;
    std::string well_file, wells;  // --well, --wells
    bool arrays = false;
    tavo::report::WellBook book;
};

struct FileInspection {
    std::string messages;
    std::string line;
    bool failed = false;
};

// "LO,HI" in percent, 0 <= LO < HI.
bool parse_band(const std::string& text, double& lo, double& hi) {
    std::istringstream in(text);
    char comma = 0;
    if (!(in >> lo >> comma >> hi) || comma != ',') return false;
    in >> std::ws;
    return in.eof() && lo >= 0.0 && lo < hi && hi < 1e6;
}

// Each file in a state of its own, as export does.
FileInspection inspect_one(const std::string& file, const InspectOptions& opt) {
    FileInspection r;
    std::ostringstream msg;
    auto st = std::make_unique<tavo::State>();
    if (!analyse_as_click(*st, file, "inspect", msg)) {
        r.failed = true;
    } else {
        tavo::condition::WellCondition c;
        if (opt.period == "verified") {
            c.period = tavo::condition::rerun_with_verified_period(*st);
            c.balance = tavo::condition::assess_balance(*st, c.period, opt.settings);
        } else {
            c = tavo::condition::assess_condition(*st, opt.settings);
        }
        nlohmann::json o = inspect_object(*st, file, c);
        o["card"] = card_json(tavo::condition::diagnose(*st, c.period));
        if (const tavo::well::WellRecord* rec = tavo::report::record_of(&opt.book, *st))
            o["downhole"] = downhole_object(tavo::condition::pump_card_of(*st, c.period, *rec), opt.arrays);
        r.line = json_line(o) + "\n";
    }
    r.messages = msg.str();
    return r;
}

int run_inspect(InspectOptions& opt) {
    double lo = 0, hi = 0;
    parse_band(opt.band, lo, hi);  // validated when parsed
    opt.settings.band_low = lo / 100.0;
    opt.settings.band_high = hi / 100.0;
    if (!load_well_book(opt.well_file, opt.wells, opt.book, std::cerr)) return 1;
    const int jobs = job_count(opt.jobs);
    int rc = 0;
    run_in_order<FileInspection>(
        opt.files.size(), jobs, [&](std::size_t i) { return inspect_one(opt.files[i], opt); },
        [&](std::size_t, FileInspection& r) {
            std::cerr << r.messages;
            if (r.failed) rc = 1;
            std::cout << r.line << std::flush;
            return true;
        });
    return rc;
}

}  // namespace

void add_inspect(CLI::App& app, int& exit_code) {
    auto opt = std::make_shared<InspectOptions>();
    auto* sub = app.add_subcommand(
        "inspect",
        "Analyse tester files, each as the first click after the program starts would, and print for "
        "each one JSON object (one per line) with a check of the stroke period and the pumping unit's "
        "balance");
    sub->add_option("-j,--jobs", opt->jobs,
                    "Files analysed in parallel (default: one per processor); the output is the same "
                    "whatever the number")
        ->check(CLI::NonNegativeNumber);
    add_period_option(sub, opt->period);
    sub->add_option("--balance-band", opt->band,
                    "Accepted power balance degree (down-stroke / up-stroke mean power) in percent, "
                    "as LO,HI")
        ->check(CLI::Validator(
            [](std::string& s) {
                double lo = 0, hi = 0;
                return parse_band(s, lo, hi) ? std::string()
                                             : std::string("expected LO,HI in percent with 0 <= LO < HI");
            },
            "LO,HI"))
        ->default_str("80,120");
    sub->add_option("--drive-efficiency", opt->settings.efficiency,
                    "Efficiency from the mains to the polished rod (motor, belts, gearbox), used to turn the "
                    "motor's energy into rod work for the counterbalance change")
        ->check(CLI::Range(0.3, 1.0))
        ->default_str("0.85");
    add_well_options(sub, opt->well_file, opt->wells);
    sub->add_flag("--arrays", opt->arrays,
                  "Add the pump card and the surface stroke it came from to \"downhole\"");
    sub->add_option("FILE", opt->files, "Tester files to inspect")->required();
    sub->footer(
        "Keys: file, well, period {detected, verified, source, agrees, note},\n"
        "balance {up, down {max_current_A, mean_power_kW, energy_kJ}, current_ratio, power_ratio,\n"
        "verdict, counterbalance_change_kN, note}, card {condition, name, confidence, runner_up,\n"
        "needs_review, probabilities {condition: probability}, evidence, runner_up_evidence}; null where\n"
        "a value cannot be computed.\n"
        "With a record of the test's well (--well, --wells): downhole {fillage_pct, gross_stroke_m,\n"
        "net_stroke_m, fluid_load_kN, displacement_m3_d, liquid_m3_d, liquid_t_d, intake_pressure_MPa,\n"
        "fluid_level_m, damping_nu, condition, reasons, rods [{max_stress_MPa, min_stress_MPa, goodman_pct,\n"
        "...}], error} (with --arrays also pump_card and surface_card {position_m, load_kN}).\n"
        "\"detected\" is the legacy detection (also with --period verified).\n"
        "A file that cannot be opened, or is shorter than its header, prints no object but a message on\n"
        "stderr; the other files are still inspected.\n"
        "Exit status: 0 success, 1 a file could not be processed, 2 usage error.");
    sub->callback([opt, &exit_code] { exit_code = run_inspect(*opt); });
}

}  // namespace tavo::cli
