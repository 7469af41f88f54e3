#include "text/control_chars.h"

#include <gtest/gtest.h>

namespace tb {
namespace {

TEST(CleanTitleTest, LineBreaksAndTabsBecomeOneSpaceBetweenWords) {
    EXPECT_EQ(clean_title("News\r\n  of\tthe\n\n day"), "News of the day");
    EXPECT_EQ(clean_title("\n\t Title \r\n"), "Title");
    EXPECT_EQ(clean_title("two  spaces stay "), "two  spaces stay ");
    EXPECT_EQ(clean_title("\r\n\t"), "");
}

TEST(CleanTitleTest, RemovesOtherC0AndC1ControlsButKeepsText) {
    // ESC ] 0 ; ... BEL would retitle a terminal; ESC [ 2 J would clear it.
    EXPECT_EQ(clean_title("\x1B]0;owned\x07Title\x1B[2J"), "]0;ownedTitle[2J");
    EXPECT_EQ(clean_title("a\x7F"
                          "b\xC2\x85"
                          "c\xC2\x9B"
                          "d"),
              "abcd");
    EXPECT_EQ(clean_title("a\n\x1B\nb"), "a b");
    // Neighbours of the C1 range and other scripts are text.
    EXPECT_EQ(clean_title("\xC2\xA0\xC3\xA4 \xD0\x96 \xE2\x80\x94"),
              "\xC2\xA0\xC3\xA4 \xD0\x96 \xE2\x80\x94");
}

TEST(CleanAddressTest, StripsEndsAndDropsLineBreaksInside) {
    EXPECT_EQ(clean_address("\n   http://example.com/a\r\n b\t "), "http://example.com/a b");
    EXPECT_EQ(clean_address("http://exa\nmple.com/"), "http://example.com/");
    EXPECT_EQ(clean_address("\x01\x1F http://x/ \x7F"), "http://x/");
}

TEST(CleanAddressTest, OtherControlsInsideArePercentEncodedAndNothingButControlsIsEmpty) {
    EXPECT_EQ(clean_address("http://x/a\x1B"
                            "b\x7F"
                            "c\xC2\x85"),
              "http://x/a%1Bb%7Fc%C2%85");
    EXPECT_EQ(clean_address("\x1B\x07\r\n\t "), "");
    EXPECT_EQ(clean_address("http://x/\xC3\xA4?q=1#f"), "http://x/\xC3\xA4?q=1#f");
}

TEST(EscapeControlCharsTest, EveryControlIsVisibleAndTheRestUntouched) {
    EXPECT_EQ(escape_control_chars("a\r\n\tb"), "a\\r\\n\\tb");
    EXPECT_EQ(escape_control_chars("\x1B]0;x\x07\x7F"), "\\x1B]0;x\\x07\\x7F");
    EXPECT_EQ(escape_control_chars("\xC2\x9B"
                                   "2J"),
              "\\u009B2J");
    EXPECT_EQ(escape_control_chars("\xD0\x9F\xC2\xA0ok"), "\xD0\x9F\xC2\xA0ok");
}

}  // namespace
}  // namespace tb
