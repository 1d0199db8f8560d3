// The card model and its calibration evaluated in C++ give what the fitting
// script gave.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "condition/card_model.h"

namespace tavo::condition {
namespace {

TEST(CardModel, ProbabilitiesEqualTheFittedModelsBitForBit) {
    std::ifstream in(std::string(TAVO_SOURCE_DIR) + "/tests/core/condition_card_model_expect.txt");
    ASSERT_TRUE(in) << "expectations written by tools/fit_card_model.py are missing";
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const auto bar = line.find('|'), bar2 = line.find('|', bar + 1);
        ASSERT_NE(bar2, std::string::npos);
        const auto numbers = [](const std::string& s) {
            std::vector<double> v;
            std::istringstream is(s);
            std::string w;
            while (is >> w) v.push_back(std::strtod(w.c_str(), nullptr));
            return v;
        };
        const std::vector<double> x = numbers(line.substr(0, bar)),
                                  want = numbers(line.substr(bar + 1, bar2 - bar - 1)),
                                  want_calibrated = numbers(line.substr(bar2 + 1));
        const std::vector<double> got = card_model_proba(x);
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t k = 0; k < got.size(); ++k)
            EXPECT_EQ(got[k], want[k]) << "row " << rows << " class " << k;
        // The calibration map too, as the script evaluated it.
        const std::vector<double> calibrated = card_model_calibrated(got);
        ASSERT_EQ(calibrated.size(), want_calibrated.size());
        for (std::size_t k = 0; k < calibrated.size(); ++k)
            EXPECT_EQ(calibrated[k], want_calibrated[k]) << "row " << rows << " class " << k;
        ++rows;
    }
    EXPECT_GE(rows, 5);
}

}  // namespace
}  // namespace tavo::condition
