#include "storage/database.h"

#include <gtest/gtest.h>

#include "platform/log.h"
#include "platform/messages.h"
#include "storage/schema.h"
#include "support/test_support.h"

namespace tb {
namespace {

using test::TempDir;

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { log_set_file(dir / "tagberry.log", &reporter); }
    void TearDown() override { log_reset(); }

    std::string create_text(Database& db, const std::string& table) {
        auto stmt = db.prepare("SELECT sql FROM sqlite_master WHERE name = '" + table + "'");
        return stmt && stmt->step() == Step::Row ? stmt->text(0) : std::string();
    }

    TempDir dir;
    RecordingReporter reporter;
};

TEST_F(DatabaseTest, FirstStartCreatesFolderFileTablesRootAndColumns) {
    Database db(reporter);
    const auto folder = dir / "Tagberry Data";
    ASSERT_EQ(db.open_database(folder), OpenStatus::Ok);
    EXPECT_TRUE(std::filesystem::exists(folder / "tb2.db"));
    EXPECT_TRUE(reporter.messages.empty());

    EXPECT_EQ(create_text(db, "tb_links"), schema::kCreateLinks);
    EXPECT_EQ(create_text(db, "tb_queries"), schema::kCreateQueries);
    EXPECT_EQ(create_text(db, "tb_channels"), schema::kCreateChannels);
    EXPECT_EQ(create_text(db, "tb_parents"), schema::kCreateParents);
    EXPECT_EQ(create_text(db, "tb_link_checks"), schema::kCreateLinkChecks);
    EXPECT_EQ(create_text(db, "tb_browser_imports"), schema::kCreateBrowserImports);
    EXPECT_EQ(create_text(db, "tb_browser_items"), schema::kCreateBrowserItems);
    // The engine appends added columns to the stored CREATE text.
    EXPECT_EQ(create_text(db, "tb_folders"),
              std::string(schema::kCreateFolders).substr(0, strlen(schema::kCreateFolders) - 1) +
                  ", protected INTEGER DEFAULT '0')");
    EXPECT_NE(create_text(db, "tb_undo").find("protected_from INTEGER DEFAULT '0'"),
              std::string::npos);
    EXPECT_EQ(db.query_int("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name "
                           "LIKE 'tb%'"),
              9);

    auto root = db.prepare("SELECT * FROM tb_folders");
    ASSERT_TRUE(root && root->step() == Step::Row);
    EXPECT_EQ(root->integer(0), 1);
    EXPECT_EQ(root->text(1), "/");
    EXPECT_EQ(root->integer(3), 0);
    EXPECT_EQ(root->integer(4), 0);
    EXPECT_EQ(root->step(), Step::Done);
}

TEST_F(DatabaseTest, ReopeningChangesNothing) {
    {
        Database db(reporter);
        ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    }
    Database db(reporter);
    ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    EXPECT_EQ(db.query_int("SELECT COUNT(*) FROM tb_folders"), 1);
    auto sql = create_text(db, "tb_folders");
    EXPECT_EQ(sql.find("protected INTEGER"), sql.rfind("protected INTEGER"));
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(DatabaseTest, EarlierReleaseFileGetsColumnsAndMissingTables) {
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open((dir / "tb2.db").c_str(), &raw), SQLITE_OK);
        for (const char* sql : {schema::kCreateLinks, schema::kCreateFolders, schema::kCreateUndo,
                                schema::kCreateQueries, schema::kInsertRoot,
                                "INSERT INTO tb_folders (title, parent) VALUES ('Old', '1')"}) {
            ASSERT_EQ(sqlite3_exec(raw, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
        }
        sqlite3_close(raw);
    }
    Database db(reporter);
    ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    EXPECT_EQ(db.query_int("SELECT COUNT(*) FROM tb_folders"), 2);
    EXPECT_EQ(db.query_int("SELECT protected FROM tb_folders WHERE title = 'Old'", {}, -1), 0);
    EXPECT_EQ(db.query_int("SELECT protected_from FROM tb_undo", {}, 0), 0);
    EXPECT_EQ(create_text(db, "tb_channels"), schema::kCreateChannels);
    EXPECT_EQ(create_text(db, "tb_parents"), schema::kCreateParents);
    EXPECT_EQ(create_text(db, "tb_link_checks"), schema::kCreateLinkChecks);
    EXPECT_TRUE(db.easy_query("INSERT INTO tb_undo (action, id, protected_from) VALUES (6, 2, 1)"));
}

TEST_F(DatabaseTest, NotADatabaseIsRefusedAndLeftUnchanged) {
    const std::string garbage(4096, 'x');
    test::write_file(dir / "tb2.db", "This is not a database file.\n" + garbage);
    const std::string before = test::read_file(dir / "tb2.db");
    Database db(reporter);
    EXPECT_EQ(db.open_database(dir.path()), OpenStatus::NotADatabase);
    EXPECT_FALSE(db.is_open());
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_NE(render(reporter.messages[0]).find("tb2.db"), std::string::npos);
    EXPECT_NE(render(reporter.messages[0]).find("not a database"), std::string::npos);
    EXPECT_EQ(test::read_file(dir / "tb2.db"), before);
}

TEST_F(DatabaseTest, UncreatableDataFolderReports182) {
    test::write_file(dir / "blocker", "file");
    Database db(reporter);
    EXPECT_EQ(db.open_database(dir / "blocker" / "sub"), OpenStatus::CannotCreateDataFolder);
    EXPECT_TRUE(reporter.has(msg::kCannotCreateDataDir));
}

TEST_F(DatabaseTest, EasyQueryFailuresLogAndReport) {
    Database db(reporter);
    ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    ASSERT_TRUE(db.easy_query("INSERT INTO tb_parents (folderID, parents) VALUES ('5', '0,1')"));
    reporter.clear();

    const std::string dup = "INSERT INTO tb_parents (folderID, parents) VALUES ('5', '0,1')";
    EXPECT_FALSE(db.easy_query(dup));
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].id, 0);
    EXPECT_NE(render(reporter.messages[0]).find("UNIQUE"), std::string::npos);

    EXPECT_FALSE(db.easy_query("INSERT INTO nowhere VALUES (1)"));
    ASSERT_EQ(reporter.messages.size(), 2u);
    EXPECT_EQ(reporter.messages[1].id, msg::kSqlError);
    EXPECT_EQ(render(reporter.messages[1]),
              "SQL engine reports error: no such table: nowhere. Query text follows: INSERT INTO "
              "nowhere VALUES (1).");

    const std::string log = test::read_file(dir / "tagberry.log");
    EXPECT_NE(log.find("\t*** easy_query(): bad SQL query: [" + dup + "]\n"), std::string::npos);
    EXPECT_NE(log.find("[INSERT INTO nowhere VALUES (1)]"), std::string::npos);
}

TEST_F(DatabaseTest, NestedTransactionsCommitOnceAtTheOutermost) {
    Database db(reporter);
    ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    Database other(reporter);
    ASSERT_EQ(other.open_database(dir.path()), OpenStatus::Ok);
    {
        Transaction outer(db);
        {
            Transaction inner(db);
            EXPECT_TRUE(db.easy_query("INSERT INTO tb_queries (text) VALUES (?)", {"a"}));
            EXPECT_TRUE(inner.commit());
        }
        EXPECT_FALSE(sqlite3_get_autocommit(db.handle()));
        EXPECT_EQ(other.query_int("SELECT COUNT(*) FROM tb_queries"), 0);
        EXPECT_TRUE(outer.commit());
    }
    EXPECT_TRUE(sqlite3_get_autocommit(db.handle()));
    EXPECT_EQ(other.query_int("SELECT COUNT(*) FROM tb_queries"), 1);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(DatabaseTest, AnInnerFailureRollsEverythingBackAndStopsLaterWrites) {
    Database db(reporter);
    ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    {
        Transaction outer(db);
        EXPECT_TRUE(db.easy_query("INSERT INTO tb_queries (text) VALUES ('a')"));
        {
            Transaction inner(db);
            EXPECT_FALSE(db.easy_query("INSERT INTO nowhere VALUES (1)"));
        }
        EXPECT_TRUE(db.transaction_failed());
        // Not run: it would land outside the transaction, or in one that cannot commit.
        EXPECT_FALSE(db.easy_query("INSERT INTO tb_queries (text) VALUES ('b')"));
        EXPECT_FALSE(outer.commit());
    }
    EXPECT_EQ(db.query_int("SELECT COUNT(*) FROM tb_queries"), 0);
    EXPECT_TRUE(sqlite3_get_autocommit(db.handle()));
    EXPECT_EQ(reporter.messages.size(), 1u);
}

TEST_F(DatabaseTest, AGuardLeftWithoutCommitRollsBack) {
    Database db(reporter);
    ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    {
        Transaction transaction(db);
        EXPECT_TRUE(db.easy_query("INSERT INTO tb_queries (text) VALUES ('a')"));
    }
    EXPECT_EQ(db.query_int("SELECT COUNT(*) FROM tb_queries"), 0);
    EXPECT_EQ(db.transaction_depth(), 0);
}

TEST_F(DatabaseTest, CloseRollsBackAnOpenTransaction) {
    Database db(reporter);
    ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    {
        Transaction transaction(db);
        EXPECT_TRUE(db.easy_query("INSERT INTO tb_queries (text) VALUES ('a')"));
        db.close_database();
        EXPECT_FALSE(transaction.commit());
    }
    ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    EXPECT_EQ(db.query_int("SELECT COUNT(*) FROM tb_queries"), 0);
}

TEST_F(DatabaseTest, ReadErrorsAreToldApartFromTheEnd) {
    Database db(reporter);
    ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    auto rows = db.prepare("SELECT 1 UNION ALL SELECT abs(-9223372036854775807 - 1)");
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->step(), Step::Row);
    EXPECT_EQ(rows->step(), Step::Error);
    EXPECT_TRUE(rows->failed());
    EXPECT_EQ(reporter.messages.size(), 1u);
    EXPECT_FALSE(db.read_int("SELECT abs(-9223372036854775807 - 1)"));
}

TEST_F(DatabaseTest, ValuesAreBoundNotQuoted) {
    Database db(reporter);
    ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    const std::string text = "it's '); DROP TABLE tb_links; --";
    EXPECT_TRUE(db.easy_query("INSERT INTO tb_queries (text, in_titles) VALUES (?, ?)",
                              {text, std::int64_t{5000000000}}));
    auto row = db.prepare("SELECT text, in_titles, typeof(in_titles) FROM tb_queries");
    ASSERT_TRUE(row && row->step() == Step::Row);
    EXPECT_EQ(row->text(0), text);
    EXPECT_EQ(row->int64(1), 5000000000);
    EXPECT_EQ(row->text(2), "integer");
    EXPECT_TRUE(db.has_rows("SELECT * FROM sqlite_master WHERE name = 'tb_links'"));
}

}  // namespace
}  // namespace tb
