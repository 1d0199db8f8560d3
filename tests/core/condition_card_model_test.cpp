// The card model evaluated in C++ gives what the fitting library gave.
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
        const auto bar = line.find('|');
        ASSERT_NE(bar, std::string::npos);
        const auto numbers = [](const std::string& s) {
            std::vector<double> v;
            std::istringstream is(s);
            std::string w;
            while (is >> w) v.push_back(std::strtod(w.c_str(), nullptr));
            return v;
        };
        const std::vector<double> x = numbers(line.substr(0, bar)), want = numbers(line.substr(bar + 1));
        const std::vector<double> got = card_model_proba(x);
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t k = 0; k < got.size(); ++k)
            EXPECT_EQ(got[k], want[k]) << "row " << rows << " class " << k;
        ++rows;
    }
    EXPECT_GE(rows, 5);
}

}  // namespace
}  // namespace tavo::condition
