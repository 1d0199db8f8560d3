// Writes the card features of labelled cards as CSV, for fitting the card
// model (tools/fit_card_model.py):
//
//   card_features_dump [--variants K] [--seed S] [--direct] [FILE.ts]
//
// Each card is made into K tester files (periods of 5 to 25 s, noise, random
// start phase), analysed as a click would, and the features are taken from
// what the analysis state then holds (over the verified cycle where the
// period check flags the detected one); --direct takes them from the card
// itself. Default FILE: the development set of ../shared/realdata; when it
// is absent the tool says so and exits 0.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "condition/card_diagnosis.h"
#include "condition/card_features.h"
#include "tools/card_set.h"

#ifndef TAVO_SOURCE_DIR
#define TAVO_SOURCE_DIR "."
#endif

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    using namespace tavo;
    std::string file = samples::default_dev_set(TAVO_SOURCE_DIR);
    int variants = 1;
    unsigned long long seed = 1;
    bool direct = false, explicit_file = false;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "--variants" && a + 1 < argc) {
            variants = std::max(1, std::atoi(argv[++a]));
        } else if (arg == "--seed" && a + 1 < argc) {
            seed = std::strtoull(argv[++a], nullptr, 10);
        } else if (arg == "--direct") {
            direct = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr,
                         "usage: card_features_dump [--variants K] [--seed S] [--direct] [FILE.ts]\n");
            return 2;
        } else {
            file = arg;
            explicit_file = true;
        }
    }
    std::vector<samples::LabelledCard> cards;
    if (int status = 0; !samples::read_cards_or_say("card_features_dump", file, explicit_file, cards, status))
        return status;

    std::printf("card,label,variant");
    for (int k = 0; k < condition::kCardFeatureCount; ++k)
        std::printf(",%s", condition::card_feature_name(k).c_str());
    std::printf("\n");
    const fs::path dir = fs::temp_directory_path() / ("tavo-card-dump-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path test = dir / "CARD.O00";
    for (std::size_t i = 0; i < cards.size(); ++i) {
        for (int v = 0; v < (direct ? 1 : variants); ++v) {
            condition::CardStroke s;
            if (direct) {
                s = condition::card_stroke(cards[i].card.pos, cards[i].card.load);
            } else {
                State st;
                samples::analyse_card_test(cards[i].card, seed * 1000003ull + i * 101 + v, test, st);
                s = condition::card_stroke(st, condition::card_cycle(st, condition::check_period(st)));
            }
            const condition::CardFeatures f = condition::card_features(s.pos, s.load);
            std::printf("%zu,%s,%d", i, cards[i].label.c_str(), v);
            // Printed as the float the model compares, so a reader gets it back exactly.
            for (double x : f.value) std::printf(",%.9g", static_cast<double>(static_cast<float>(x)));
            std::printf("\n");
        }
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
