#include "exchange/import_driver.h"

#include <algorithm>

#include "import_fixture.h"
#include "platform/messages.h"
#include "storage/backup.h"

namespace tb::test {
namespace {

std::string many_links(int n) {
    std::string text = "<DL><p>\n    <DT><H3>F</H3>\n    <DL><p>\n";
    for (int i = 0; i < n; ++i) {
        text += "        <DT><A HREF=\"http://x" + std::to_string(i) + ".example/\">L" +
                std::to_string(i) + "</A>\n";
    }
    return text + "    </DL><p>\n</DL><p>\n";
}

TEST(ImportDialogRulesTest, TargetNamesAndPathMessages) {
    EXPECT_EQ(last_path_component("C:\\Docs\\Links"), "Links");
    EXPECT_EQ(last_path_component("/home/u/pages/index.html"), "index.html");
    EXPECT_EQ(last_path_component("/home/u/Links/"), "Links");
    EXPECT_EQ(last_path_component(""), "");
    EXPECT_EQ(default_target_name(ImportSource::BookmarkFile, "/x/b.html"), "Mozilla Bookmarks");
    EXPECT_EQ(default_target_name(ImportSource::Favourites, ""), "Internet Explorer Bookmarks");
    EXPECT_EQ(default_target_name(ImportSource::LegacyDatabase, "/x"), "Tagberry 1.x Bookmarks");
    EXPECT_EQ(default_target_name(ImportSource::Shortcuts, ""), "");
    EXPECT_EQ(missing_path_message(ImportSource::BookmarkFile, ""), msg::kNoBookmarksPath);
    EXPECT_EQ(missing_path_message(ImportSource::LegacyDatabase, ""), msg::kNoLegacyPath);
    EXPECT_EQ(missing_path_message(ImportSource::HtmlFile, ""), msg::kNoFilePath);
    EXPECT_EQ(missing_path_message(ImportSource::Shortcuts, ""), msg::kNoFolderPath);
    EXPECT_EQ(missing_path_message(ImportSource::HtmlFolder, ""), msg::kNoFolderPath);
    EXPECT_EQ(missing_path_message(ImportSource::Favourites, ""), 0);
    EXPECT_EQ(missing_path_message(ImportSource::HtmlFile, "/a.html"), 0);
}

TEST_F(ImportTest, ProposedNameIsFreeUnderTheRoot) {
    EXPECT_EQ(proposed_target_name(model->folders, ImportSource::Shortcuts, "C:\\Docs\\Links"),
              "Links");
    model->folders.create_folder("Links", kRootFolder);
    for (int i = 1; i <= 9; ++i) {
        model->folders.create_folder("Links-0" + std::to_string(i), kRootFolder);
    }
    EXPECT_EQ(proposed_target_name(model->folders, ImportSource::Shortcuts, "C:\\Docs\\Links"),
              "Links-10");
}

TEST_F(ImportTest, RegimeIsRestoredAndNothingIsJournalled) {
    write_file(dir / "b.html", many_links(3));
    ImportResult result = import(ImportSource::BookmarkFile, dir / "b.html");
    EXPECT_EQ(result.status, ImportStatus::Done);
    EXPECT_TRUE(model->journal.enabled());
    EXPECT_EQ(db->transaction_depth(), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_undo"), 0);
    EXPECT_EQ(model->links.links().size(), 3u);
    EXPECT_NE(model->folders.find(result.top_folder), nullptr);
    // The next user action can be undone.
    ASSERT_NE(model->folders.create_folder("After", kRootFolder), 0);
    EXPECT_EQ(model->undo_last_action(), kUndoAddFolder);
}

TEST_F(ImportTest, TakenTargetNameGetsAFreeVariant) {
    model->folders.create_folder("Mine", kRootFolder);
    write_file(dir / "b.html", many_links(1));
    ImportResult result = import(ImportSource::BookmarkFile, dir / "b.html", {}, "Mine");
    EXPECT_EQ(result.top_title, "Mine-01");
    EXPECT_FALSE(reporter.has(msg::kDuplicateFolderName));
}

TEST_F(ImportTest, UnreadableBookmarkFileIsAFailureThatCreatesNothing) {
    ImportResult result = import(ImportSource::BookmarkFile, dir / "missing.html");
    EXPECT_EQ(result.status, ImportStatus::Failed);
    EXPECT_TRUE(reporter.has(msg::kCannotReadHtml));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders"), 1);
    EXPECT_TRUE(model->journal.enabled());
}

TEST_F(ImportTest, CancelRollsTheWholeImportBack) {
    write_file(dir / "b.html", many_links(50));
    ImportRequest request;
    request.path = dir / "b.html";
    std::size_t seen_total = 0;
    std::size_t calls = 0;
    ImportProgress progress;
    progress.report = [&](std::size_t done, std::size_t total) {
        calls = done;
        seen_total = total;
    };
    progress.cancelled = [&] { return calls >= 10; };
    ImportResult result = run_import(*model, request, progress);
    EXPECT_EQ(result.status, ImportStatus::Cancelled);
    EXPECT_EQ(seen_total, 51u);
    EXPECT_EQ(calls, 10u);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_links"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_parents WHERE folderID > 1"), 0);
    EXPECT_TRUE(model->links.links().empty());
    EXPECT_TRUE(model->journal.enabled());
    EXPECT_EQ(db->transaction_depth(), 0);
    // The database takes the same import afterwards.
    EXPECT_EQ(run_import(*model, request).links, 50);
}

// A large file is read and parsed in steps that report progress and can be cancelled before
// anything is written.
TEST_F(ImportTest, ReadingReportsProgressAndCanBeCancelled) {
    write_file(dir / "b.html", many_links(40000));
    ImportRequest request;
    request.path = dir / "b.html";
    std::vector<std::size_t> reading;
    bool written = false;
    ImportProgress progress;
    progress.reading = [&](std::size_t done, std::size_t total) {
        EXPECT_LE(done, total);
        reading.push_back(done);
    };
    progress.report = [&](std::size_t, std::size_t) { written = true; };
    progress.cancelled = [&] { return reading.size() >= 3; };
    EXPECT_EQ(run_import(*model, request, progress).status, ImportStatus::Cancelled);
    EXPECT_EQ(reading.size(), 3u);
    EXPECT_TRUE(std::is_sorted(reading.begin(), reading.end()));
    EXPECT_FALSE(written);
    EXPECT_FALSE(reporter.has(msg::kCannotReadHtml));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_links"), 0);

    progress.cancelled = {};
    reading.clear();
    EXPECT_EQ(run_import(*model, request, progress).links, 40000);
    EXPECT_GT(reading.size(), 2u);
}

TEST_F(ImportTest, ImportIsPrecededByASnapshotAndRefusedWithoutOne) {
    write_file(dir / "b.html", many_links(3));
    ASSERT_EQ(import(ImportSource::BookmarkFile, dir / "b.html").status, ImportStatus::Done);
    Backups backups(*db);
    auto listed = backups.list();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].links, 0) << "taken before the import";
    ASSERT_EQ(import(ImportSource::BookmarkFile, dir / "b.html").status, ImportStatus::Done);
    listed = backups.list();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].links, 3);

    for (const Snapshot& snapshot : listed) {
        std::filesystem::remove(snapshot.path);
    }
    std::filesystem::remove(backups.folder());
    write_file(backups.folder(), "a file where the folder belongs");
    reporter.clear();
    EXPECT_EQ(import(ImportSource::BookmarkFile, dir / "b.html").status, ImportStatus::Failed);
    EXPECT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_links"), 6);
}

}  // namespace
}  // namespace tb::test
