// The test date as the exchange text writes it (year-month-day, without
// leading zeros in month and day) and as the reader turns it back.
#include "common/text.h"
#include "exchange/exchange.h"

namespace tavo {

std::string exchange_date_line(std::string_view test_time) {
    const std::string year = mid_chars(test_time, 0, 4);
    const std::string month =
        mid_chars(test_time, 4, 1) == "0" ? mid_chars(test_time, 5, 1) : mid_chars(test_time, 4, 2);
    const std::string day =
        mid_chars(test_time, 6, 1) == "0" ? mid_chars(test_time, 7, 1) : mid_chars(test_time, 6, 2);
    return year + "-" + month + "-" + day;
}

std::optional<std::string> test_time_of_date_line(std::string_view line) {
    const std::size_t dash = line.find('-');
    if (dash == std::string_view::npos) return std::nullopt;
    const std::string year(line.substr(0, dash));
    const std::string_view rest = line.substr(dash + 1);

    // Month: two characters when the second "-" is the third character of
    // the rest, else "0" and one; the day follows that "-" (all of the rest
    // when there is none).
    const std::size_t second = rest.find('-');
    const bool two = second != std::string_view::npos && char_count(rest.substr(0, second)) == 2;
    const std::string month = two ? left_chars(rest, 2) : "0" + left_chars(rest, 1);
    const std::string_view day_text = second == std::string_view::npos ? rest : rest.substr(second + 1);
    const std::string day = char_count(day_text) < 2 ? "0" + std::string(day_text) : left_chars(day_text, 2);
    return year + month + day;
}

}  // namespace tavo
