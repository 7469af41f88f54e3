#include "storage/backup.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <fstream>

#include "core/model/model_fixture.h"

namespace tb::test {
namespace {

namespace fs = std::filesystem;

// Local time on a fixed June day, `days_ago` days earlier, at `hour`.
std::int64_t local_ms(int days_ago, int hour) {
    std::tm date{};
    date.tm_year = 2026 - 1900;
    date.tm_mon = 5;
    date.tm_mday = 15 - days_ago;
    date.tm_hour = hour;
    date.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&date)) * 1000;
}

ino_t inode_of(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

std::vector<std::string> names_in(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class BackupTest : public ModelTest {
protected:
    Backups backups{db};

    fs::path make_snapshot(std::int64_t time_ms) {
        auto path = backups.create(time_ms);
        EXPECT_TRUE(path.has_value());
        return path.value_or(fs::path());
    }
    std::int64_t live_links() { return count("SELECT COUNT(*) FROM tb_links"); }
    // One number read from a file through a connection of its own.
    static std::int64_t count_in(const fs::path& file, const char* sql) {
        sqlite3* raw = nullptr;
        std::int64_t value = -1;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
            sqlite3_prepare_v2(raw, sql, -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW) {
            value = sqlite3_column_int64(stmt, 0);
        }
        sqlite3_finalize(stmt);
        sqlite3_close(raw);
        return value;
    }
};

TEST_F(BackupTest, RetentionKeepsTheLastTenAndTheNewestOfEachOfSevenDays) {
    fs::create_directories(backups.folder());
    write_file(backups.folder() / "notes.txt", "mine");
    write_file(backups.folder() / "tagberry-backup-mine.db", "mine");
    std::vector<std::int64_t> made;
    for (int days_ago = 9; days_ago >= 0; --days_ago) {
        for (int hour : {9, 12, 15}) {
            made.push_back(local_ms(days_ago, hour));
            make_snapshot(made.back());
        }
    }
    const std::int64_t now = local_ms(0, 20);
    backups.apply_retention(now);

    std::vector<std::int64_t> expected(made.rbegin(), made.rbegin() + Backups::kKeepLatest);
    for (int days_ago : {4, 5, 6}) {
        expected.push_back(local_ms(days_ago, 15));
    }
    std::vector<std::int64_t> kept;
    for (const Snapshot& snapshot : backups.list()) {
        kept.push_back(snapshot.time_ms);
    }
    EXPECT_EQ(kept, expected);
    // Files that are not the program's snapshots are left alone.
    EXPECT_TRUE(fs::exists(backups.folder() / "notes.txt"));
    EXPECT_TRUE(fs::exists(backups.folder() / "tagberry-backup-mine.db"));

    // Names sort by time, also for two snapshots in one millisecond.
    make_snapshot(now);
    make_snapshot(now);
    auto names = names_in(backups.folder());
    std::erase_if(names, [](const std::string& n) { return n.find("mine") != n.npos; });
    std::erase(names, "notes.txt");
    std::vector<std::string> listed;
    for (const Snapshot& snapshot : backups.list()) {
        listed.push_back(snapshot.path.filename().string());
    }
    EXPECT_EQ(listed, std::vector<std::string>(names.rbegin(), names.rend()));
    EXPECT_EQ(listed.size(), 14u) << "two new ones, one of the oldest day's dropped";
}

TEST_F(BackupTest, DailySnapshotIsDueAfterADay) {
    const std::int64_t start = local_ms(1, 10);
    EXPECT_TRUE(backups.due(start));
    EXPECT_TRUE(backups.create_if_due(start));
    EXPECT_FALSE(backups.due(start + Backups::kDailyIntervalMs - 1));
    EXPECT_TRUE(backups.create_if_due(start + 1000));
    EXPECT_EQ(backups.list().size(), 1u);
    EXPECT_TRUE(backups.due(start + Backups::kDailyIntervalMs));
}

TEST_F(BackupTest, RestoreRoundTripKeepsTheCurrentStateAndTheLiveFile) {
    const int kept = folder("Kept");
    link(kept, "a");
    link(kept, "b");
    const fs::path snapshot = make_snapshot(local_ms(1, 9));
    EXPECT_EQ(backups.list().front().folders, 2);
    EXPECT_EQ(backups.list().front().links, 2);

    const int later = folder("Later");
    link(later, "c");
    model.folders.delete_folder(kept);
    const ino_t live_inode = inode_of(db.file_path());
    Database other(reporter);
    ASSERT_EQ(other.open_database(dir.path()), OpenStatus::Ok);
    const std::int64_t other_version = other.data_version();

    ASSERT_TRUE(backups.restore(snapshot.filename(), local_ms(0, 9)))
        << render(reporter.messages[0]);
    model.load();
    EXPECT_EQ(live_folder_ids(), (std::vector<RowId>{kRootFolder, kept}));
    EXPECT_EQ(model.links.links().size(), 2u);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_undo"), 3) << "the journal as it was";
    EXPECT_EQ(inode_of(db.file_path()), live_inode);
    // Another process sees the change through data_version and reads the restored rows.
    EXPECT_NE(other.data_version(), other_version);
    EXPECT_EQ(other.query_int("SELECT COUNT(*) FROM tb_links"), 2);

    // The state before the restore is the newest snapshot: Kept is deleted there, pending purge.
    const auto listed = backups.list();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed.front().folders, 2);
    EXPECT_EQ(listed.front().links, 1);
    ASSERT_TRUE(backups.restore(listed.front().path, local_ms(0, 10)));
    model.load();
    EXPECT_EQ(live_folder_ids(), (std::vector<RowId>{kRootFolder, later}));
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(BackupTest, InWalModeSnapshotsStandAloneAndARestoreSurvivesAReopen) {
    ASSERT_TRUE(db.easy_query("PRAGMA journal_mode = WAL"));
    const int kept = folder("Kept");
    link(kept, "a");
    const fs::path snapshot = make_snapshot(local_ms(1, 9));
    // One plain file: no WAL flag in its header, no log beside it.
    EXPECT_EQ(read_file(snapshot).substr(18, 2), std::string("\x01\x01", 2));
    EXPECT_FALSE(fs::exists(snapshot.string() + "-wal"));

    link(kept, "b");
    folder("Later");
    Database reader(reporter);
    ASSERT_EQ(reader.open_database(dir.path()), OpenStatus::Ok);
    ASSERT_EQ(reader.query_int("SELECT COUNT(*) FROM tb_links"), 2);
    ASSERT_TRUE(backups.restore(snapshot, local_ms(0, 9)));
    EXPECT_EQ(reader.query_int("SELECT COUNT(*) FROM tb_links"), 1);
    reader.close_database();
    db.close_database();

    Database reopened(reporter);
    ASSERT_EQ(reopened.open_database(dir.path()), OpenStatus::Ok);
    EXPECT_EQ(reopened.query_int("SELECT COUNT(*) FROM tb_links"), 1);
    EXPECT_EQ(reopened.query_int("SELECT COUNT(*) FROM tb_folders"), 2);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(BackupTest, DamagedOrForeignFilesAreRefusedAndTheLiveDatabaseIsUntouched) {
    const int kept = folder("Kept");
    {
        Transaction transaction(db);
        for (int i = 0; i < 400; ++i) {
            link(kept, "link" + std::to_string(i),
                 "http://example.com/" + std::string(200, 'x') + std::to_string(i));
        }
        ASSERT_TRUE(transaction.commit());
    }
    const fs::path snapshot = make_snapshot(local_ms(1, 9));
    const fs::path damaged = dir / "damaged.db";
    fs::copy_file(snapshot, damaged);
    {
        std::fstream file(damaged, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(3 * 4096 + 100);
        const std::string junk(6000, '\x5a');
        file.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    }
    write_file(dir / "text.db", "just some text that is long enough to look like a header....");
    {
        sqlite3* foreign = nullptr;
        ASSERT_EQ(sqlite3_open((dir / "foreign.db").c_str(), &foreign), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(foreign, "CREATE TABLE t(x)", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(foreign);
    }
    link(kept, "after the snapshot");
    const std::int64_t links_before = live_links();
    reporter.clear();

    for (const char* name : {"damaged.db", "text.db", "foreign.db", "missing.db"}) {
        EXPECT_FALSE(backups.restore(dir / name)) << name;
        ASSERT_EQ(reporter.messages.size(), 1u) << name;
        EXPECT_NE(render(reporter.messages[0]).find(name), std::string::npos)
            << render(reporter.messages[0]);
        reporter.clear();
    }
    EXPECT_FALSE(backups.restore(db.file_path()));
    EXPECT_EQ(live_links(), links_before);
    EXPECT_EQ(backups.list().size(), 1u) << "no snapshot of the current state without a restore";
    EXPECT_EQ(count_in(db.file_path(),
                       "SELECT COUNT(*) FROM pragma_integrity_check "
                       "WHERE integrity_check = 'ok'"),
              1);
}

TEST_F(BackupTest, PurgeWithDeletionsIsPrecededByASnapshotAndOtherwiseIsNot) {
    const int gone = folder("Gone");
    link(gone, "a");
    ASSERT_TRUE(model.journal.purge());
    EXPECT_TRUE(backups.list().empty()) << "only additions in the journal";
    ASSERT_TRUE(model.journal.purge());
    EXPECT_TRUE(backups.list().empty()) << "an empty journal";

    ASSERT_TRUE(model.folders.delete_folder(gone));
    ASSERT_TRUE(model.journal.purge());
    const auto listed = backups.list();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(live_links(), 0);
    EXPECT_EQ(count_in(listed[0].path, "SELECT COUNT(*) FROM tb_links"), 1)
        << "the deleted link is in the snapshot";
}

TEST_F(BackupTest, PurgeIsRefusedWhenNoSnapshotCanBeWritten) {
    const int gone = folder("Gone");
    ASSERT_TRUE(model.folders.delete_folder(gone));
    write_file(backups.folder(), "a file where the folder belongs");
    reporter.clear();
    EXPECT_FALSE(model.journal.purge());
    EXPECT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders WHERE id = " + std::to_string(gone)), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_undo"), 2);
}

}  // namespace
}  // namespace tb::test
