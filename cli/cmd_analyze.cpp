#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/analysis_json.h"
#include "cli/click_analysis.h"
#include "cli/commands.h"
#include "cli/period_option.h"
#include "record/state.h"

namespace tavo::cli {

namespace {

struct AnalyzeOptions {
    bool arrays = false;
    std::string period = "detected";
    std::vector<std::string> files;
};

int run_analyze(const AnalyzeOptions& opt) {
    // One state for the whole run, as the window holds one: every file is
    // analysed as a click on it in the file list would.
    auto st = std::make_unique<tavo::State>();
    tavo::Workspace work;
    int rc = 0;
    for (const auto& file : opt.files) {
        if (!analyse_as_click(*st, work, file, "analyze", std::cerr)) {
            rc = 1;
            continue;
        }
        apply_period_option(opt.period, *st);
        std::cout << json_line(analysis_object(*st, file, opt.arrays)) << "\n" << std::flush;
    }
    return rc;
}

}  // namespace

void add_analyze(CLI::App& app, int& exit_code) {
    auto opt = std::make_shared<AnalyzeOptions>();
    auto* sub = app.add_subcommand(
        "analyze",
        "Analyse tester files in the order given, in one analysis state, as clicking them one after "
        "another in the file list would; print one JSON object per file, one per line");
    sub->add_flag(
        "--arrays", opt->arrays,
        "Add the object \"arrays\" with the eight sample arrays (Cur_Dat, Vol_Dat, Pow_Dat, Var_Dat, "
        "VA_Dat, PF_Dat, Pos_Dat, Force_Dat; 3001 numbers each) as they stand after the analysis");
    add_period_option(sub, opt->period);
    sub->add_option("FILE", opt->files, "Tester files to analyse")->required();
    sub->footer(
        "Keys: file, Well_Name, Test_Time, Test_Mode, Rec_Speed, Point_Num, Circle_Num, Pow_Circle_Num,\n"
        "Circle_Corr, Quad_Num, Quad_Cur, Quad_Pow, Quad_Var, Quad_VA, Quad_PF (slots 1..5), Max_Up_Cur,\n"
        "Max_Down_Cur, Avg_Up_Pow, Avg_Down_Pow, Pow_Mode, Sgt_Period, Sgt_Stroke, Sgt_MaxLoad, "
        "Sgt_MinLoad,\n"
        "Sgt_Work, Sgt_Power, Text3 (the 15 result boxes) and, with --arrays, arrays.\n"
        "Text3 by position (each box keeps its label text until a result is written into it):\n"
        "  0 test date (label only)       1 input power kW             2 polished-rod power kW\n"
        "  3 up/down-stroke mean power kW 4 up/down-stroke max current A  5 mean voltage V\n"
        "  6 mean current A               7 apparent power kVA         8 reactive power kvar\n"
        "  9 power factor                10 RMS current A             11 RMS power kW\n"
        " 12 stroke m                    13 strokes per minute        14 stroke loss (label only)\n"
        "Numbers print in their shortest text that reads back to the same value.\n"
        "A file that cannot be opened, is shorter than its header or holds no whole sample record prints\n"
        "no object but a message on stderr; the other files are still analysed. A file with fewer samples\n"
        "than its header announces is analysed with a warning on stderr; the array slots past its samples\n"
        "are 0 (unless a lock box keeps them, as in the window).\n"
        "Exit status: 0 success, 1 a file could not be processed, 2 usage error.");
    sub->callback([opt, &exit_code] { exit_code = run_analyze(*opt); });
}

}  // namespace tavo::cli
