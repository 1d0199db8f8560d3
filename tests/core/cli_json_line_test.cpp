// The command line's JSON lines: texts, whole numbers, flags and nulls
// written as the JSON library writes them, whatever the bytes of a text.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/analysis_json.h"

namespace tavo::cli {
namespace {

using nlohmann::json;

std::string library(const json& j) {
    return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

TEST(JsonLine, TextsAndWholeNumbersAsTheLibraryWritesThem) {
    const std::vector<std::string> texts = {
        "",
        "plain",
        "杨12-5 泵功图",
        "quote \" and backslash \\",
        std::string("tab\tnewline\nnul") + '\0' + "end",
        "del \x7f",
        "\xff\xfe not UTF-8",
        "overlong \xc0\xaf",
        "surrogate \xed\xa0\x80",
        "past U+10FFFF \xf4\x90\x80\x80",
        "cut short \xe6\x9d",
        "four bytes \xf0\x9f\x98\x80",
    };
    for (const std::string& t : texts) {
        json o = json::object();
        o[t] = t;
        o["list"] = json::array({t, 1, -7, 18446744073709551615ull, true, false, nullptr});
        EXPECT_EQ(json_line(o), library(o)) << t;
    }
}

}  // namespace
}  // namespace tavo::cli
