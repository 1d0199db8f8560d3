#include "common/text.h"

#include <gtest/gtest.h>

namespace tavo {
namespace {

TEST(CodePage936, DecodesAndEncodesChineseText) {
    EXPECT_EQ(gbk_to_utf8("\xD1\xEE"
                          "12"),
              "杨12");
    EXPECT_EQ(utf8_to_gbk("杨12"),
              "\xD1\xEE"
              "12");
    EXPECT_EQ(gbk_to_utf8(std::string("A\0B", 3)), std::string("A\0B", 3));
    // A lead byte without its trail byte does not decode.
    EXPECT_EQ(gbk_to_utf8("A\xD1"), "A\xEF\xBF\xBD");
    EXPECT_EQ(utf8_to_gbk("a😀b"), "a?b");
}

TEST(CodePage936, FieldsArePaddedAndCutBetweenCharacters) {
    EXPECT_EQ(gbk_field("AB", 4), "AB  ");
    EXPECT_EQ(gbk_field("ABCDE", 4), "ABCD");
    EXPECT_EQ(gbk_field("A杨杨", 4), "A\xD1\xEE ");
    EXPECT_EQ(gbk_field("", 3), "   ");
}

TEST(Characters, CountAndCutByCodePoint) {
    EXPECT_EQ(char_count("杨12"), 3u);
    EXPECT_EQ(left_chars("杨12-5", 2), "杨1");
    EXPECT_EQ(right_chars("200506181230", 4), "1230");
    EXPECT_EQ(mid_chars("200506181230", 8, 2), "12");
    EXPECT_EQ(left_chars("ab", 5), "ab");
    EXPECT_EQ(right_chars("ab", 5), "ab");
}

}  // namespace
}  // namespace tavo
