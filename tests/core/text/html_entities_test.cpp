#include "text/html_entities.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tb {
namespace {

using Case = test::TextCase;

class DecodeEntitiesTest : public ::testing::TestWithParam<Case> {};

TEST_P(DecodeEntitiesTest, Decodes) {
    EXPECT_EQ(decode_html_entities(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    TableRows, DecodeEntitiesTest,
    ::testing::Values(Case{"&lt;b&gt;", "<b>"}, Case{"&#033;&excl;", "!!"},
                      Case{"&sp;&#032;&quot;&#034;&num;&#035;", "  \"\"##"},
                      Case{"&dollar;&percnt;&#037;&apos;&#039;", "$%%''"},
                      Case{"&lpar;&#041;&ast;&plus;&comma;&hyphen;&minus;&period;&sol;",
                           "()*+,--./"},
                      Case{"&colon;&semi;&equals;&quest;&#063;", ":;=??"},
                      // The named rows of the Cyrillic code page give Unicode characters.
                      Case{"&curren;&brvbar;&sect;&laquo;&raquo;&deg;&middot;&euro;", "¤¦§«»°·€"},
                      Case{"&#164;&#166;&#167;&#171;&#187;&#176;&#183;&#8364;", "¤¦§«»°·€"},
                      Case{"Q&amp;A &amp; more", "Q&A & more"}));

INSTANTIATE_TEST_SUITE_P(
    RowOrder, DecodeEntitiesTest,
    ::testing::Values(
        // "&amp;" runs before "&lt;" and "&gt;", so a decoded "&" feeds a later row.
        Case{"&amp;lt;", "<"}, Case{"&amp;gt;x", ">x"},
        // "&quot;" and "&amp;" itself run too early to see what "&amp;" produces.
        Case{"&amp;quot;", "&quot;"}, Case{"&amp;amp;", "&amp;"},
        // A numeric reference uncovered by "&amp;" is decoded by the final pass.
        Case{"&amp;#39;", "'"}));

INSTANTIATE_TEST_SUITE_P(
    NumericReferences, DecodeEntitiesTest,
    ::testing::Values(Case{"it&#39;s", "it's"}, Case{"&#x1F600;", "😀"}, Case{"&#X41;&#x6a;", "Aj"},
                      Case{"&#1046;&#x436;", "Жж"}, Case{"&#128512;!", "😀!"},
                      Case{"&#1114111;", "\xF4\x8F\xBF\xBF"}, Case{"&#0;", "&#0;"},
                      Case{"&#x0;", "&#x0;"}, Case{"&#xD800;", "&#xD800;"},
                      Case{"&#57343;", "&#57343;"}, Case{"&#1114112;", "&#1114112;"},
                      Case{"&#99999999999999999999;", "&#99999999999999999999;"},
                      Case{"&#65", "&#65"}, Case{"&#;", "&#;"}, Case{"&#x;", "&#x;"},
                      Case{"&#6 5;", "&#6 5;"}, Case{"&#&#65;", "&#A"}, Case{"&#65;&#66;", "AB"},
                      Case{"&#xZZ;", "&#xZZ;"}));

INSTANTIATE_TEST_SUITE_P(Untouched, DecodeEntitiesTest,
                         ::testing::Values(Case{"&nbsp;", "&nbsp;"}, Case{"&copy; &", "&copy; &"},
                                           Case{"plain", "plain"}, Case{"", ""},
                                           Case{"&LT;", "&LT;"}, Case{"a & b & c", "a & b & c"},
                                           Case{"&", "&"}, Case{"& #33;&;", "& #33;&;"}));

class EncodeEntitiesTest : public ::testing::TestWithParam<Case> {};

TEST_P(EncodeEntitiesTest, Encodes) {
    EXPECT_EQ(encode_html_entities(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EncodeEntitiesTest,
    ::testing::Values(Case{"a < b & «c»", "a &lt; b &amp; &laquo;c&raquo;"},
                      Case{"&lt;", "&amp;lt;"}, Case{"\"q\" 'a' >", "&quot;q&quot; 'a' &gt;"},
                      // Other characters that start with the same byte as « and » are copied.
                      Case{"¤§° Ж ε 😀", "¤§° Ж ε 😀"}, Case{"end\xC2", "end\xC2"}, Case{"", ""}));

TEST(EntityRoundTripTest, DecodeUndoesEncode) {
    const std::string text = "Tom & Jerry <b>\"«quoted»\"</b> it's";
    EXPECT_EQ(decode_html_entities(encode_html_entities(text)), text);
}

}  // namespace
}  // namespace tb
