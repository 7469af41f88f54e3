#include "text/codecs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>

namespace tb {
namespace {

struct Case {
    std::string input;
    std::string expected;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << '"' << c.input << '"';
}

class RegexEscapeTest : public ::testing::TestWithParam<Case> {};

TEST_P(RegexEscapeTest, EscapesOnlyRegexSyntax) {
    EXPECT_EQ(regex_escape(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, RegexEscapeTest,
                         ::testing::Values(Case{"a.b(c)", "a\\.b\\(c\\)"},
                                           Case{".|*?+(){}[]^$\\",
                                                "\\.\\|\\*\\?\\+\\(\\)\\{\\}\\[\\]\\^\\$\\\\"},
                                           Case{"-/#%_ «ж»", "-/#%_ «ж»"}, Case{"", ""}));

TEST(SqlQuoteTest, DoublesEverySingleQuote) {
    std::string text = "it's 'x' ''";
    sql_quote(text);
    EXPECT_EQ(text, "it''s ''x'' ''''");
    std::string plain = "no quotes";
    sql_quote(plain);
    EXPECT_EQ(plain, "no quotes");
}

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

class SafeFileNameTest : public ::testing::TestWithParam<Case> {};

TEST_P(SafeFileNameTest, ReplacesUnsafeCharacters) {
    EXPECT_EQ(safe_file_name(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SafeFileNameTest,
                         ::testing::Values(Case{"news: a/b;c", "news:_a_b_c"},
                                           Case{"a\\b*c\"d<e>f", "a_b_c_d_e_f"},
                                           Case{"what?|Новости:", "what?|Новости:"}));

class LocalTimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        saved_tz_ = tz ? std::optional<std::string>(tz) : std::nullopt;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (saved_tz_) {
            setenv("TZ", saved_tz_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::optional<std::string> saved_tz_;
};

TEST_F(LocalTimeTest, FormatsByStrftimeRules) {
    EXPECT_EQ(format_local_time(0, "%H:%M:%S, %d %B %Y"), "00:00:00, 01 January 1970");
    EXPECT_EQ(format_local_time(1700000000, "%Y-%m-%d %H:%M"), "2023-11-14 22:13");
}

TEST_F(LocalTimeTest, TimesAfter2038AreNotWrapped) {
    EXPECT_EQ(format_local_time(4102444800LL, "%Y-%m-%d"), "2100-01-01");
}

TEST_F(LocalTimeTest, LongAndEmptyResults) {
    const std::string long_format(1000, 'x');
    EXPECT_EQ(format_local_time(0, (long_format + "%Y").c_str()), long_format + "1970");
    EXPECT_EQ(format_local_time(0, ""), "");
}

TEST_F(LocalTimeTest, NowIsTheCurrentYear) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    gmtime_r(&now, &local);
    EXPECT_EQ(format_now("%Y"), std::to_string(local.tm_year + 1900));
}

}  // namespace
}  // namespace tb
