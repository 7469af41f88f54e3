#include <gtest/gtest.h>

#include "model/model.h"
#include "platform/log.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "support/test_support.h"

namespace tb {
namespace {

using test::TempDir;

class IntegrityTest : public ::testing::Test {
protected:
    IntegrityTest() { log_set_file(dir / "tagberry.log", &reporter); }
    ~IntegrityTest() override { log_reset(); }

    // Another program's connection that holds the write lock until it is released.
    struct Writer {
        explicit Writer(const std::filesystem::path& file) {
            EXPECT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
            EXPECT_EQ(sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        ~Writer() { sqlite3_close(raw); }
        sqlite3* raw = nullptr;
    };

    TempDir dir;
    RecordingReporter reporter;
};

TEST_F(IntegrityTest, AnotherProgramsDatabaseIsRefusedUntouched) {
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open((dir / "tb2.db").c_str(), &raw), SQLITE_OK);
        ASSERT_EQ(
            sqlite3_exec(raw, "CREATE TABLE moz_places(id INTEGER)", nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(raw);
    }
    const std::string before = test::read_file(dir / "tb2.db");
    Database db(reporter);
    EXPECT_EQ(db.open_database(dir.path()), OpenStatus::NotADatabase);
    EXPECT_EQ(test::read_file(dir / "tb2.db"), before);
    EXPECT_FALSE(std::filesystem::exists(dir / "tb2.db-wal"));
    ASSERT_EQ(reporter.messages.size(), 1u);
}

TEST_F(IntegrityTest, AnInterruptedFirstStartIsCompletedAtTheNextOpen) {
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open((dir / "tb2.db").c_str(), &raw), SQLITE_OK);
        for (const char* sql :
             {schema::kCreateLinks, schema::kCreateFolders, schema::kCreateUndo}) {
            ASSERT_EQ(sqlite3_exec(raw, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        }
        sqlite3_close(raw);
    }
    Database db(reporter);
    ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    EXPECT_EQ(db.query_int("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name "
                           "LIKE 'tb%'"),
              9);
    EXPECT_TRUE(db.has_rows("SELECT 1 FROM tb_folders WHERE id = 1 AND title = '/'"));
    EXPECT_TRUE(db.easy_query("INSERT INTO tb_undo (action, protected_from) VALUES (6, 1)"));
    Model model(db);
    model.load();
    EXPECT_NE(model.folders.create_folder("A", kRootFolder), 0);
}

TEST_F(IntegrityTest, ReadersWorkWhileAnotherProgramWrites) {
    {
        Database db(reporter);
        ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
        Model model(db);
        model.load();
        ASSERT_NE(model.folders.create_folder("A", kRootFolder), 0);
    }
    // A normal close folds the log into the file.
    EXPECT_FALSE(std::filesystem::exists(dir / "tb2.db-wal") &&
                 std::filesystem::file_size(dir / "tb2.db-wal") > 0);
    Writer writer(dir / "tb2.db");
    Database db(reporter);
    ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    sqlite3_busy_timeout(db.handle(), 50);
    Model model(db);
    model.load();
    EXPECT_NE(model.folders.find_by_path("/A"), nullptr);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(IntegrityTest, WritesBlockedByAnotherProgramFailAndChangeNothing) {
    Database db(reporter);
    ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    Model model(db);
    model.journal.set_enabled(true);
    model.load();
    const int a = model.folders.create_folder("A", kRootFolder);
    const int b = model.folders.create_folder("B", kRootFolder);
    const int link = model.links.add_link_to(a, "l", "http://l/", "");
    ASSERT_TRUE(model.folders.move_folder(b, a));
    sqlite3_busy_timeout(db.handle(), 50);
    const auto journal = db.query_int("SELECT COUNT(*) FROM tb_undo");
    {
        Writer writer(dir / "tb2.db");
        EXPECT_FALSE(model.folders.delete_folder(a));
        EXPECT_FALSE(model.links.move_links({link}, b));
        EXPECT_EQ(model.undo_last_action(), -1);
        EXPECT_FALSE(model.journal.purge());
        EXPECT_EQ(model.folders.create_folder("C", kRootFolder), 0);
    }
    EXPECT_EQ(db.query_int("SELECT COUNT(*) FROM tb_undo"), journal);
    EXPECT_EQ(model.folders.find(b)->parent, a);
    EXPECT_EQ(model.links.find(link)->parent, a);
    EXPECT_FALSE(reporter.messages.empty());
    EXPECT_EQ(db.transaction_depth(), 0);
}

// A file that already holds the largest id the program takes: the engine has no next id to
// count on to, so nothing is added and the user is told.
TEST_F(IntegrityTest, NoRowGetsAnIdPastTheLargest) {
    Database db(reporter);
    ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    ASSERT_TRUE(db.easy_query("INSERT INTO tb_folders (id, title, parent) VALUES (?, 'Edge', 1)",
                              {kLargestId}));
    ASSERT_TRUE(
        db.easy_query("INSERT INTO tb_links (id, title, url, parent) VALUES (?, 'e', "
                      "'http://e/', 1)",
                      {kLargestId}));
    Model model(db);
    model.journal.set_enabled(true);
    model.load();
    reporter.clear();
    EXPECT_EQ(model.folders.create_folder("Next", kRootFolder), 0);
    EXPECT_EQ(model.links.add_link_to(kLargestId, "n", "http://n/", ""), 0);
    EXPECT_EQ(db.query_int("SELECT COUNT(*) FROM tb_folders"), 2);
    EXPECT_EQ(db.query_int("SELECT COUNT(*) FROM tb_links"), 1);
    EXPECT_EQ(db.query_int("SELECT COUNT(*) FROM tb_undo"), 0);
    ASSERT_EQ(reporter.messages.size(), 2U);
    EXPECT_EQ(reporter.messages[0].text, kNoIdLeftText);
    EXPECT_EQ(db.transaction_depth(), 0);
}

TEST_F(IntegrityTest, AnUndoWhoseStatementFailsKeepsItsJournalRow) {
    Database db(reporter);
    ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    Model model(db);
    model.journal.set_enabled(true);
    model.load();
    const int a = model.folders.create_folder("A", kRootFolder);
    const int b = model.folders.create_folder("B", kRootFolder);
    ASSERT_TRUE(model.folders.move_folder(b, a));
    EXPECT_TRUE(
        db.easy_query("CREATE TRIGGER refuse BEFORE UPDATE ON tb_folders BEGIN SELECT "
                      "RAISE(ABORT, 'refused'); END"));
    EXPECT_EQ(model.undo_last_action(), -1);
    EXPECT_EQ(model.journal.load_last_action()->action, kUndoMoveFolder);
    EXPECT_EQ(model.folders.find(b)->parent, a);
    EXPECT_EQ(model.folders.ancestry_list(b), "1,0," + std::to_string(a));
}

}  // namespace
}  // namespace tb
