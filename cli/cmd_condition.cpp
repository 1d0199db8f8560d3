#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/analysis_json.h"
#include "cli/balance_options.h"
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
    tavo::condition::BalanceSettings settings;
    std::string well_file, wells;  // --well, --wells
    bool arrays = false;
    tavo::summary::WellBook book;
};

struct FileInspection {
    std::string messages;
    std::string line;
    bool failed = false;
};

// Each file in a state of its own, as export does.
FileInspection inspect_one(tavo::Workspace& work, const std::string& file, const InspectOptions& opt) {
    FileInspection r;
    std::ostringstream msg;
    // Every member of a State carries its own initial value: made without
    // value-initialisation, its 100 kB are not zeroed before being set.
    const std::unique_ptr<tavo::State> st(new tavo::State);
    if (!analyse_as_click(*st, work, file, "inspect", msg)) {
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
        if (const tavo::well::WellRecord* rec = tavo::summary::record_of(&opt.book, *st))
            o["downhole"] = downhole_object(tavo::condition::pump_card_of(*st, c.period, *rec), opt.arrays);
        r.line = json_line(o) + "\n";
    }
    r.messages = msg.str();
    return r;
}

int run_inspect(InspectOptions& opt) {
    if (!load_well_book(opt.well_file, opt.wells, opt.book, std::cerr)) return 1;
    const int jobs = job_count(opt.jobs);
    int rc = 0;
    run_in_order<FileInspection, tavo::Workspace>(
        opt.files.size(), jobs,
        [&](tavo::Workspace& work, std::size_t i) { return inspect_one(work, opt.files[i], opt); },
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
        "each one JSON object (one per line, UTF-8) with a check of the stroke period, the pumping "
        "unit's balance and a diagnosis of the dynamometer card (the pump's working condition)");
    sub->add_option("-j,--jobs", opt->jobs,
                    "Files analysed in parallel (default: one per processor); the output is the same "
                    "whatever the number")
        ->check(CLI::NonNegativeNumber);
    add_period_option(sub, opt->period);
    add_balance_options(sub, opt->settings);
    add_well_options(sub, opt->well_file, opt->wells);
    sub->add_flag("--arrays", opt->arrays,
                  "Add the pump card and the surface stroke it came from to \"downhole\"");
    sub->add_option("FILE", opt->files, "Tester files to inspect")->required();
    sub->footer(
        "Keys: file, well, period {detected, verified, source, agrees, note},\n"
        "balance {up, down {max_current_A, mean_power_kW, energy_kJ}, current_ratio, power_ratio,\n"
        "power_ratio_note, verdict, counterbalance_change_kN, note}, card {condition, name, confidence,\n"
        "runner_up, needs_review, probabilities {condition: probability}, evidence, runner_up_evidence}: "
        "the\n"
        "card diagnosis, the pump's working condition read from the shape of the\n"
        "card by a forest of decision trees, with the model's probability and the features that decided;\n"
        "null where a value cannot be computed. power_ratio is null, with power_ratio_note saying why,\n"
        "where a stroke's mean power is near zero or negative. The verdict: balanced when power_ratio lies\n"
        "in the band; otherwise the sign of counterbalance_change_kN gives the way (add > 0, reduce < 0),\n"
        "and unknown where power_ratio points the other way. counterbalance_change_kN is the rod-work\n"
        "difference as a force at the polished rod, to act on only when the verdict asks for a change.\n"
        "With a record of the test's well (--well, --wells): downhole {fillage_pct, gross_stroke_m,\n"
        "net_stroke_m, fluid_load_kN, displacement_m3_d, liquid_m3_d, liquid_t_d, intake_pressure_MPa,\n"
        "fluid_level_m, damping_nu, condition, reasons, rods [{max_stress_MPa, min_stress_MPa, goodman_pct,\n"
        "...}], error} (with --arrays also pump_card and surface_card {position_m, load_kN}).\n"
        "\"detected\" is the legacy detection (also with --period verified).\n"
        "A file that cannot be opened, is shorter than its header or holds no whole sample record prints\n"
        "no object but a message on stderr; the other files are still inspected.\n"
        "Exit status: 0 success, 1 a file could not be processed, 2 usage error.");
    sub->callback([opt, &exit_code] { exit_code = run_inspect(*opt); });
}

}  // namespace tavo::cli
