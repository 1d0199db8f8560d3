// Scores the card diagnosis the program ships on labelled cards:
//
//   score_cards [--seed S] [--direct] [FILE.ts]
//
// Each card becomes a tester file (period 5 to 25 s, noise, random start
// phase) that is analysed as a click would; the diagnosis of what the state
// then holds is compared with the card's label. Prints top-1 and top-2
// accuracy, the share and the accuracy of the diagnoses not marked
// needs_review, the calibration gap (mean |confidence - accuracy| over 5
// equal-count bins), the recall of each condition and the confusion matrix. --direct diagnoses the
// cards themselves. Default FILE: the development set of ../shared/realdata
// (the shipped model was fitted on it, so this is not a cross-validation:
// tools/fit_card_model.py does that); without it the tool says so and exits 0.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "condition/card_diagnosis.h"
#include "tools/card_set.h"

#ifndef TAVO_SOURCE_DIR
#define TAVO_SOURCE_DIR "."
#endif

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    using namespace tavo;
    std::string file = samples::default_dev_set(TAVO_SOURCE_DIR);
    unsigned long long seed = 99;
    bool direct = false, explicit_file = false;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "--seed" && a + 1 < argc) {
            seed = std::strtoull(argv[++a], nullptr, 10);
        } else if (arg == "--direct") {
            direct = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "usage: score_cards [--seed S] [--direct] [FILE.ts]\n");
            return 2;
        } else {
            file = arg;
            explicit_file = true;
        }
    }
    std::vector<samples::LabelledCard> cards;
    if (int status = 0; !samples::read_cards_or_say("score_cards", file, explicit_file, cards, status))
        return status;

    const fs::path dir = fs::temp_directory_path() / ("tavo-score-cards-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::set<std::string> labels;
    std::map<std::pair<std::string, std::string>, int> matrix;
    int right = 0, top2 = 0, sure = 0, sure_right = 0;
    std::vector<std::pair<double, int>> stated;  // confidence, right
    for (std::size_t i = 0; i < cards.size(); ++i) {
        condition::CardDiagnosis d;
        if (direct) {
            d = condition::diagnose_card(cards[i].card.pos, cards[i].card.load);
        } else {
            State st;
            samples::analyse_card_test(cards[i].card, seed * 1000003ull + i * 101, dir / "CARD.O00", st);
            d = condition::diagnose(st, condition::check_period(st));
        }
        labels.insert(cards[i].label);
        labels.insert(d.condition);
        ++matrix[{cards[i].label, d.condition}];
        const bool ok = d.condition == cards[i].label;
        right += ok;
        top2 += ok || d.runner_up == cards[i].label;
        sure += !d.needs_review;
        sure_right += !d.needs_review && ok;
        stated.emplace_back(d.confidence, ok ? 1 : 0);
    }
    std::error_code ec;
    fs::remove_all(dir, ec);

    std::printf("%s: %zu cards, %s\n", file.c_str(), cards.size(),
                direct ? "diagnosed directly" : "through tester files");
    const double n = static_cast<double>(cards.size());
    std::printf("top-1 accuracy: %.1f %%\ntop-2 accuracy: %.1f %%\n", 100.0 * right / n, 100.0 * top2 / n);
    std::printf("not needs_review: %.1f %% of the cards, right %.1f %%\n", 100.0 * sure / n,
                sure > 0 ? 100.0 * sure_right / sure : 0.0);
    // Equal-count bins of the stated confidence, as numpy's array_split cuts them.
    std::stable_sort(stated.begin(), stated.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    constexpr std::size_t kBins = 5;
    double gap = 0.0;
    std::size_t from = 0;
    for (std::size_t b = 0; b < kBins; ++b) {
        const std::size_t size = stated.size() / kBins + (b < stated.size() % kBins ? 1 : 0);
        double conf = 0.0, ok = 0.0;
        for (std::size_t k = from; k < from + size; ++k) {
            conf += stated[k].first;
            ok += stated[k].second;
        }
        if (size > 0) gap += std::abs(conf - ok) / static_cast<double>(size);
        from += size;
    }
    std::printf("calibration gap (5 equal-count bins): %.3f\nrecall per condition:\n", gap / kBins);
    for (const std::string& l : labels) {
        int row = 0;
        for (const std::string& c : labels) row += matrix[{l, c}];
        if (row > 0)
            std::printf("  %-26s %5.1f %%  (%d cards)\n", l.c_str(), 100.0 * matrix[{l, l}] / row, row);
    }
    std::printf("confusion matrix (rows: label, columns: diagnosis, in this order):\n");
    for (const std::string& l : labels) {
        std::printf("  %-26s", l.c_str());
        for (const std::string& c : labels) std::printf(" %4d", matrix[{l, c}]);
        std::printf("\n");
    }
    return 0;
}
