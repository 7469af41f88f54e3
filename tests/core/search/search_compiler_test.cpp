#include "search/search_compiler.h"

#include <gtest/gtest.h>

#include "search/search_query.h"

namespace tb {
namespace {

using Words = std::vector<std::string>;

TEST(SearchCompilerTest, TemplateJoinsKeywordsAndLikeTerms) {
    EXPECT_EQ(search_template("(software OR applications) AND free"),
              "SELECT id FROM tb_links WHERE ( $COLNAME LIKE '%software%' OR $COLNAME LIKE "
              "'%applications%' ) AND $COLNAME LIKE '%free%' ");
}

TEST(SearchCompilerTest, ParenthesesAreSpacedFromWordsOnly) {
    EXPECT_EQ(search_words("(a OR b)AND c"), (Words{"(", "a", "OR", "b", ")", "AND", "c"}));
    EXPECT_EQ(search_words("((a OR b) AND c)"),
              (Words{"((", "a", "OR", "b", ")", "AND", "c", ")"}));
    EXPECT_EQ(search_words("x(y)z"), (Words{"x", "(", "y", ")", "z"}));
    // Letters of any script are word characters.
    EXPECT_EQ(search_words("(привет OR ü)"), (Words{"(", "привет", "OR", "ü", ")"}));
    // Other characters next to a parenthesis stay attached.
    EXPECT_EQ(search_words("(-a)"), (Words{"(-a", ")"}));
}

TEST(SearchCompilerTest, WhiteSpaceCollapsesButEdgesLeaveEmptyWords) {
    EXPECT_EQ(search_words("a \t\n b"), (Words{"a", "b"}));
    EXPECT_EQ(search_words(" a "), (Words{"", "a", ""}));
    EXPECT_EQ(search_words(""), (Words{""}));
}

TEST(SearchCompilerTest, QuotesAreDoubledInsideTheTerm) {
    EXPECT_EQ(search_template("O'Reilly"),
              "SELECT id FROM tb_links WHERE $COLNAME LIKE '%O''Reilly%' ");
    // A quote cannot end the literal early.
    EXPECT_EQ(search_template("x' OR 1=1 --"),
              "SELECT id FROM tb_links WHERE $COLNAME LIKE '%x''%' OR $COLNAME LIKE '%1=1%' "
              "$COLNAME LIKE '%--%' ");
}

TEST(SearchCompilerTest, KeywordsMatchByteForByte) {
    EXPECT_TRUE(is_search_keyword("AND"));
    EXPECT_TRUE(is_search_keyword("OR"));
    EXPECT_TRUE(is_search_keyword("("));
    EXPECT_TRUE(is_search_keyword(")"));
    EXPECT_FALSE(is_search_keyword("and"));
    EXPECT_FALSE(is_search_keyword("Or"));
    EXPECT_FALSE(is_search_keyword("(("));
    EXPECT_EQ(search_template("a and b"),
              "SELECT id FROM tb_links WHERE $COLNAME LIKE '%a%' $COLNAME LIKE '%and%' $COLNAME "
              "LIKE '%b%' ");
}

TEST(SearchCompilerTest, PassStatementsFillTheColumn) {
    const std::string words = search_template("a OR b");
    EXPECT_EQ(link_pass_statement(words, "url"),
              "SELECT id FROM tb_links WHERE url LIKE '%a%' OR url LIKE '%b%' ");
    EXPECT_EQ(folder_pass_statement(words),
              "SELECT id FROM tb_folders WHERE title LIKE '%a%' OR title LIKE '%b%' ");
    EXPECT_EQ(link_passes_statement(words, {"title", "comment"}),
              "SELECT id FROM tb_links WHERE (title LIKE '%a%' OR title LIKE '%b%' ) OR (comment "
              "LIKE '%a%' OR comment LIKE '%b%' )");
    // A search word naming the table is not rewritten by the folder pass.
    EXPECT_EQ(folder_pass_statement(search_template("tb_links")),
              "SELECT id FROM tb_folders WHERE title LIKE '%tb_links%' ");
    // Nor is a word that spells the placeholder, after a quote or not.
    EXPECT_EQ(link_pass_statement(search_template("it's $COLNAME x$COLNAME'"), "url"),
              "SELECT id FROM tb_links WHERE url LIKE '%it''s%' url LIKE '%$COLNAME%' url LIKE "
              "'%x$COLNAME''%' ");
}

TEST(SearchQueryTest, FindDialogJoinsPlainWordsAndKeepsAdvancedText) {
    SearchQuery entered;
    entered.text = "cheap  flights";
    EXPECT_EQ(prepare_find_query(entered).text, "cheap AND flights");
    EXPECT_EQ(prepare_find_query(entered).match_mode, kAllWords);
    entered.match_mode = kAnyWord;
    EXPECT_EQ(prepare_find_query(entered).text, "cheap OR flights");
    entered.text = " foo ";
    EXPECT_EQ(prepare_find_query(entered).text, " OR foo OR ");
    entered.text = "foo and bar";
    EXPECT_EQ(prepare_find_query(entered).text, "foo OR and OR bar");

    for (const char* advanced : {"(a", "b)", "a AND b", "a OR b"}) {
        entered.text = advanced;
        SearchQuery prepared = prepare_find_query(entered);
        EXPECT_EQ(prepared.text, advanced);
        EXPECT_EQ(prepared.match_mode, kAdvancedQuery);
    }
    entered.text = "ANDROID ORBIT";
    EXPECT_FALSE(is_advanced_text(entered.text));
    entered.text = "a  b";
    entered.match_mode = kAdvancedQuery;
    EXPECT_EQ(prepare_find_query(entered).text, "a  b");
}

TEST(SearchQueryTest, QuickSearchHasFixedOptionsAndNoAdvancedDetection) {
    SearchQuery quick = make_quick_query("a OR b");
    EXPECT_EQ(quick.text, "a AND OR AND b");
    EXPECT_TRUE(quick.in_titles && quick.in_addresses && quick.in_comments);
    EXPECT_FALSE(quick.in_parent_titles);
    EXPECT_EQ(quick.match_mode, kAllWords);
    EXPECT_EQ(quick.folder_scope, kFromRoot);
    EXPECT_EQ(make_quick_query(" ").text, " AND ");
}

}  // namespace
}  // namespace tb
