#include "search/query_history.h"

#include <gtest/gtest.h>

#include "core/search/model_fixture.h"
#include "platform/messages.h"

namespace tb {
namespace {

using QueryHistoryTest = test::ModelFixture;

TEST_F(QueryHistoryTest, EqualMeansSameBytesAndSameFlags) {
    QueryHistory history(db);
    SearchQuery q;
    q.text = "O'Reilly AND books";
    history.query2history(q);
    history.query2history(q);
    q.match_mode = kAnyWord;  // not stored, so not compared
    q.folder_scope = kFromCurrentFolder;
    history.query2history(q);
    ASSERT_EQ(history.load_query_history(), 1);

    SearchQuery other = q;
    other.in_parent_titles = true;
    history.query2history(other);
    other.text = "o'reilly AND books";
    history.query2history(other);
    ASSERT_EQ(history.load_query_history(), 3);

    const SearchQuery& first = history.list()[0];
    EXPECT_EQ(first.text, "O'Reilly AND books");
    EXPECT_TRUE(first.in_titles && first.in_addresses && first.in_comments);
    EXPECT_FALSE(first.in_parent_titles);
    EXPECT_EQ(first.match_mode, kAllWords);
    EXPECT_EQ(first.folder_scope, kFromRoot);
    EXPECT_TRUE(history.list()[1].in_parent_titles);
    EXPECT_EQ(history.list()[2].text, "o'reilly AND books");
    EXPECT_TRUE(reporter.messages.empty());

    EXPECT_TRUE(history.clear());
    EXPECT_TRUE(history.list().empty());
    EXPECT_EQ(db.query_int("SELECT COUNT(*) FROM tb_queries"), 0);
}

TEST_F(QueryHistoryTest, StoredFlagsReadAsTrueWhenNotZero) {
    EXPECT_TRUE(db.easy_query(
        "INSERT INTO tb_queries (text, in_titles, in_addresses, in_comments, in_parent_titles) "
        "VALUES ('x', '0', '2', '0', '-1')"));
    QueryHistory history(db);
    ASSERT_EQ(history.load_query_history(), 1);
    const SearchQuery& entry = history.list()[0];
    EXPECT_FALSE(entry.in_titles);
    EXPECT_TRUE(entry.in_addresses);
    EXPECT_FALSE(entry.in_comments);
    EXPECT_TRUE(entry.in_parent_titles);
}

TEST_F(QueryHistoryTest, FailedInsertIsLoggedAndReported) {
    EXPECT_TRUE(db.easy_query(
        "CREATE TRIGGER refuse BEFORE INSERT ON tb_queries BEGIN SELECT RAISE(ABORT, 'refused'); "
        "END"));
    QueryHistory history(db);
    SearchQuery q;
    q.text = "a";
    history.query2history(q);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].text, "refused");
    EXPECT_NE(test::read_file(dir / "tagberry.log")
                  .find("*** query2history(): bad SQL query: [INSERT INTO tb_queries"),
              std::string::npos);
    EXPECT_EQ(history.load_query_history(), 0);
}

}  // namespace
}  // namespace tb
