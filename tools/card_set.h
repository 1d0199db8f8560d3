// Labelled dynamometer cards in the UEA/sktime .ts text format (one card per
// line, "positions:loads:LABEL"), and tester files made from them so that
// a card is diagnosed the way the program meets it: repeated at a period,
// with noise, read and analysed like a clicked file.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/pick_file.h"
#include "condition/card_stroke.h"
#include "tools/sample_gen.h"

namespace tavo::samples {

struct LabelledCard {
    CardShape card;  // padding trimmed
    std::string label;
};

// The default development set beside the source tree.
inline std::string default_dev_set(const std::string& source_dir) {
    return source_dir + "/../shared/realdata/cn-oilfield-12class/OilfieldData2d_TEST_dev.ts";
}

// Reads every card of a .ts file; false (and `detail`) when the file cannot
// be read or holds no card.
inline bool read_ts_cards(const std::string& path, std::vector<LabelledCard>& out, std::string& detail) {
    std::string text;
    if (!detail::read_file(path, text)) {
        detail = "cannot read " + path;
        return false;
    }
    for (const std::string& line : detail::lines_of(text)) {
        LabelledCard c;
        if (detail::parse_ts_line(line, c.card, c.label) != detail::TsLine::Card) continue;
        c.card.source = path + " #" + std::to_string(out.size());
        out.push_back(std::move(c));
    }
    if (out.empty()) detail = "no cards in " + path;
    return !out.empty();
}

// The cards a scoring tool works on. When they cannot be read the tool's
// message says why, and `status` is the exit status: 1 for a file named on
// the command line, 0 for the default set when the real data is not here.
inline bool read_cards_or_say(const char* tool, const std::string& file, bool named,
                              std::vector<LabelledCard>& cards, int& status) {
    std::string why;
    if (read_ts_cards(file, cards, why)) return true;
    std::fprintf(stderr, "%s: %s%s\n", tool, why.c_str(),
                 named ? "" : " (the real data is not here; nothing to do)");
    status = named ? 1 : 0;
    return false;
}

// A test of one card: the card's own stroke and loads, repeated at a period
// of 5 to 25 s with noise and a random start phase.
inline WellPlan card_test_plan(const CardShape& c, uint64_t seed) {
    Rng rng(seed * 0x9E3779B97F4A7C15ull + 11);
    WellPlan w;
    w.well_name = "CARD";
    w.file_name = "CARD.O00";
    w.test_time = "202612010800";
    w.cycle = 250 + static_cast<int>(rng.below(1001));
    const auto [pmin, pmax] = std::minmax_element(c.pos.begin(), c.pos.end());
    const auto [lmin, lmax] = std::minmax_element(c.load.begin(), c.load.end());
    w.stroke_m = *pmax - *pmin;
    w.load_min_kn = *lmin;
    w.load_max_kn = *lmax;
    w.seed = seed;
    return w;
}

// Writes the test of `c` to `file` and analyses it as a click would; the
// state then holds what the program holds.
inline void analyse_card_test(const CardShape& c, uint64_t seed, const std::filesystem::path& file,
                              State& st) {
    const WellPlan w = card_test_plan(c, seed);
    const std::vector<uint8_t> bytes = encode_test(w, make_curves(w, c));
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    pick_file(st, file.string());
}

}  // namespace tavo::samples
