#include "model/folder_store.h"

#include "model_fixture.h"
#include "platform/messages.h"

namespace tb::test {
namespace {

using FolderStoreTest = ModelTest;

std::vector<RowId> sorted(std::vector<RowId> ids) {
    std::sort(ids.begin(), ids.end());
    return ids;
}

TEST_F(FolderStoreTest, NewFolderTextIsSplitSortedAndTrimmed) {
    // Sorted as typed: " Sport " comes before "Art".
    EXPECT_EQ(FolderStore::split_folder_titles("News; Sport ;Art"),
              (std::vector<std::string>{"Sport", "Art", "News"}));
    EXPECT_TRUE(FolderStore::split_folder_titles(";;").empty());
    EXPECT_TRUE(FolderStore::split_folder_titles(" \t\n").empty());
    EXPECT_EQ(FolderStore::split_folder_titles("  One title \n"),
              std::vector<std::string>{"One title"});
    EXPECT_EQ(FolderStore::split_folder_titles("b; a;B"),
              (std::vector<std::string>{"a", "B", "b"}));

    int parent = folder("P");
    folder("News", parent);
    std::vector<RowId> ids = model.folders.create_folders_from_text(parent, "News; Sport ;Art");
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(model.folders.find(ids[0])->title, "Sport");
    EXPECT_EQ(model.folders.find(ids[1])->title, "Art");
    EXPECT_EQ(reporter.count(msg::kDuplicateFolderName), 1);
    EXPECT_EQ(model.folders.folder_path(ids[0]), "/P/Sport");
    EXPECT_EQ(model.folders.find(ids[0])->level, 2);
}

TEST_F(FolderStoreTest, NameChecksSeeEveryLiveRowButNoDeletedOne) {
    int first = folder("A");
    EXPECT_EQ(model.folders.create_folder("A", kRootFolder), 0);
    EXPECT_EQ(reporter.count(msg::kDuplicateFolderName), 1);
    EXPECT_NE(model.folders.create_folder("a", kRootFolder), 0);

    ASSERT_TRUE(model.folders.delete_folder(first));
    int second = folder("A");
    EXPECT_NE(second, first);
    // The deleted row comes first in tb_folders; the live one must still block the name.
    EXPECT_EQ(model.folders.create_folder("A", kRootFolder), 0);
    EXPECT_EQ(reporter.count(msg::kDuplicateFolderName), 2);
    EXPECT_FALSE(model.folders.folder_name_free(kRootFolder, "A"));
}

TEST_F(FolderStoreTest, UniqueRootTitleAndMaxId) {
    folder("X");
    EXPECT_EQ(model.folders.unique_root_title("Y"), "Y");
    EXPECT_EQ(model.folders.unique_root_title("X"), "X-01");
    folder("X-01");
    EXPECT_EQ(model.folders.unique_root_title("X"), "X-02");
    model.folders.create_folder_with_id("Big", "", 40, kRootFolder);
    EXPECT_EQ(model.folders.max_folder_id(), 40);
}

TEST_F(FolderStoreTest, RenameChecks) {
    int a = folder("A");
    folder("B");
    EXPECT_FALSE(model.folders.rename_folder(a, "B", false));
    EXPECT_EQ(reporter.count(msg::kDuplicateFolderName), 1);
    EXPECT_FALSE(model.folders.rename_folder(a, "  ", false));
    EXPECT_EQ(reporter.count(msg::kFolderTitleEmpty), 1);
    EXPECT_FALSE(model.folders.rename_folder(kRootFolder, "R", false));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_undo"), 2);
    // Only the flag changes: the own title does not block.
    EXPECT_TRUE(model.folders.rename_folder(a, "A", true));
    EXPECT_TRUE(model.folders.find(a)->is_protected);
}

TEST_F(FolderStoreTest, MoveRefusals) {
    int a = folder("A");
    int b = folder("B", a);
    int c = folder("C", b);
    folder("B");
    EXPECT_FALSE(model.folders.move_folder(a, a));
    EXPECT_TRUE(reporter.has(msg::kMoveFolderToItself));
    EXPECT_FALSE(model.folders.move_folder(a, c));
    EXPECT_TRUE(reporter.has(msg::kMoveFolderToDescendant));
    EXPECT_FALSE(model.folders.move_folder(b, kRootFolder));
    EXPECT_TRUE(reporter.has(msg::kDuplicateFolderName));
    EXPECT_FALSE(model.folders.move_folder(kRootFolder, a));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_undo WHERE action = 0"), 0);

    EXPECT_TRUE(model.folders.move_folder(c, kRootFolder));
    EXPECT_TRUE(model.folders.moved_flag());
    EXPECT_EQ(model.folders.moved_from(), b);
    EXPECT_EQ(model.folders.folder_path(c), "/C");
}

TEST_F(FolderStoreTest, DeleteHidesSubtreeAndLinksUntilPurge) {
    int a = folder("A");
    int b = folder("B", a);
    int c = folder("C", b);
    int other = folder("Other");
    int lb = link(b, "lb");
    int lc = link(c, "lc");
    int lo = link(other, "lo");
    EXPECT_FALSE(model.folders.delete_folder(kRootFolder));
    EXPECT_TRUE(reporter.has(msg::kFolderCannotBeDeleted));

    ASSERT_TRUE(model.folders.delete_folder(a));
    EXPECT_EQ(live_folder_ids(), (std::vector<RowId>{kRootFolder, other}));
    EXPECT_EQ(live_link_ids(), std::vector<RowId>{lo});
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders"), 5);
    EXPECT_EQ(
        count(sql_format("SELECT COUNT(*) FROM tb_undo WHERE action = 2 AND group_id = %d", a)), 3);
    EXPECT_TRUE(folder_marked(c));
    EXPECT_TRUE(link_marked(lc, c));
    EXPECT_FALSE(link_marked(lo, other));
    EXPECT_NE(count(sql_format("SELECT COUNT(*) FROM tb_links WHERE id = %d", lb)), 0);
    // A deleted folder can no longer be deleted again.
    EXPECT_FALSE(model.folders.delete_folder(b));
}

TEST_F(FolderStoreTest, FindByPathReadsFullNamesBack) {
    auto find = [this](std::string_view path) {
        const Folder* found = model.folders.find_by_path(path);
        return found != nullptr ? found->id : 0;
    };
    int news = folder("News");
    int world = folder("World", news);
    int a = folder("A");
    int a_b = folder("B", a);
    // "/A/B" also spells this title; the path below it only fits this one.
    int slashed = folder("A/B");
    int c = folder("C", slashed);
    for (RowId id : std::initializer_list<RowId>{kRootFolder, news, world, a, a_b, c}) {
        EXPECT_EQ(find(model.folders.folder_path(id)), id) << model.folders.folder_path(id);
    }
    EXPECT_EQ(find("/A/B/C"), c);
    EXPECT_EQ(find("/News/World/"), world);
    EXPECT_EQ(find("/"), kRootFolder);
    for (std::string_view unknown : {"", "News", "News/World", "/news", "/News//World", "/News/W",
                                     "/News/World/Europe", "//"}) {
        EXPECT_EQ(find(unknown), 0) << unknown;
    }
    ASSERT_TRUE(model.folders.delete_folder(news));
    EXPECT_EQ(find("/News/World"), 0);
}

TEST_F(FolderStoreTest, AncestryRowsAndWholeElementLookup) {
    ASSERT_EQ(model.folders.create_folder_with_id("A", "", 5, kRootFolder), 5);
    ASSERT_EQ(model.folders.create_folder_with_id("B", "", 7, 5), 7);
    ASSERT_EQ(model.folders.create_folder_with_id("E", "", 9, 7), 9);
    ASSERT_EQ(model.folders.create_folder_with_id("F", "", 15, kRootFolder), 15);
    ASSERT_EQ(model.folders.create_folder_with_id("G", "", 51, 15), 51);
    ASSERT_EQ(model.folders.create_folder_with_id("H", "", 52, 51), 52);
    EXPECT_EQ(ancestry(5), "0,1");
    EXPECT_EQ(ancestry(7), "1,0,5");
    EXPECT_EQ(ancestry(9), "5,1,0,7");
    EXPECT_EQ(ancestry(52), "15,1,0,51");

    EXPECT_EQ(sorted(model.folders.descendants(5)), (std::vector<RowId>{7, 9}));
    EXPECT_EQ(model.folders.descendants(7), std::vector<RowId>{9});
    EXPECT_TRUE(model.folders.descendants(9).empty());
    EXPECT_EQ(sorted(model.folders.descendants(15)), (std::vector<RowId>{51, 52}));
    EXPECT_EQ(model.folders.descendants(51), std::vector<RowId>{52});

    EXPECT_EQ(model.folders.subtree_folders({5}), (std::vector<RowId>{7, 9}));
    EXPECT_EQ(model.folders.subtree_folders({15}), (std::vector<RowId>{51, 52}));
    EXPECT_TRUE(model.folders.subtree_folders({9}).empty());
    EXPECT_EQ(id_array({3, 5, 9}), "[3,5,9]");
}

TEST_F(FolderStoreTest, MissingAndStaleRowsAreRepairedAtLoad) {
    model.folders.create_folder_with_id("A", "", 5, kRootFolder);
    model.folders.create_folder_with_id("B", "", 7, 5);
    model.folders.create_folder_with_id("E", "", 9, 7);
    EXPECT_TRUE(db.easy_query("DELETE FROM tb_parents WHERE folderID = 7"));
    EXPECT_TRUE(db.easy_query("UPDATE tb_parents SET parents = '0,1' WHERE folderID = 9"));
    EXPECT_TRUE(db.easy_query("INSERT INTO tb_parents (folderID, parents) VALUES (99, '0,1,5')"));
    EXPECT_EQ(model.folders.repair_ancestry(), 3);
    EXPECT_EQ(ancestry(7), "1,0,5");
    EXPECT_EQ(ancestry(9), "5,1,0,7");
    EXPECT_EQ(ancestry(99), "<none>");
    EXPECT_EQ(sorted(model.folders.descendants(5)), (std::vector<RowId>{7, 9}));
    model.load();
    EXPECT_EQ(model.folders.repair_ancestry(), 0);
}

TEST_F(FolderStoreTest, MoveThenDeleteOfNewAncestorHidesMovedSubtree) {
    int a = folder("A");
    int b = folder("B");
    int c = folder("C", b);
    int d = folder("D", c);
    int ld = link(d, "ld");
    ASSERT_TRUE(model.folders.move_folder(b, a));
    ASSERT_TRUE(model.folders.delete_folder(a));
    EXPECT_EQ(live_folder_ids(), std::vector<RowId>{kRootFolder});
    EXPECT_TRUE(model.links.links().empty());
    EXPECT_TRUE(folder_marked(d));
    EXPECT_TRUE(link_marked(ld, d));
}

TEST_F(FolderStoreTest, IdFreedByUndoGetsAFreshAncestryRow) {
    int a = folder("A");
    int n = folder("N", a);
    ASSERT_EQ(model.undo_last_action(), kUndoAddFolder);
    // An import reuses the largest id + 1 under another parent.
    ASSERT_EQ(model.folders.create_folder_with_id("Imported", "", n, kRootFolder), n);
    EXPECT_EQ(ancestry(n), "0,1");
    ASSERT_TRUE(model.folders.delete_folder(a));
    ASSERT_TRUE(model.journal.purge());
    EXPECT_EQ(count(sql_format("SELECT COUNT(*) FROM tb_folders WHERE id = %d", n)), 1);
}

TEST_F(FolderStoreTest, FailedInsertWritesNoJournalOrAncestryRow) {
    ASSERT_EQ(model.folders.create_folder_with_id("A", "", 5, kRootFolder), 5);
    const auto journal = count("SELECT COUNT(*) FROM tb_undo");
    EXPECT_EQ(model.folders.create_folder_with_id("Clash", "", 5, 1, false), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_undo"), journal);
    EXPECT_EQ(ancestry(5), "0,1");
    EXPECT_EQ(model.folders.find(5)->title, "A");
    EXPECT_FALSE(reporter.messages.empty());
}

TEST_F(FolderStoreTest, DamagedParentChainsTerminate) {
    // 10 and 11 are each other's parent, 13 hangs below the cycle, 12 has an unknown parent.
    EXPECT_TRUE(db.easy_query(
        "INSERT INTO tb_folders (id, title, parent) VALUES (10, 'X', 11), (11, 'Y', 10), "
        "(12, 'Z', 99), (13, 'W', 10)"));
    model.load();
    ASSERT_EQ(live_folder_ids(), (std::vector<RowId>{1, 10, 11, 12, 13}));
    // The cycle and the orphan hang under the root; what lies below them keeps its place.
    for (int id : {10, 11, 12}) {
        const Folder* f = model.folders.find(id);
        EXPECT_EQ(f->tree_parent, kRootFolder) << id;
        EXPECT_EQ(f->level, 1) << id;
    }
    EXPECT_EQ(model.folders.find(13)->level, 2);
    EXPECT_EQ(model.folders.folder_path(10), "/X");
    EXPECT_EQ(model.folders.folder_path(13), "/X/W");
    EXPECT_EQ(model.folders.folder_path(12), "/Z");
    EXPECT_EQ(model.folders.children(kRootFolder).size(), 3u);
    EXPECT_TRUE(model.folders.is_descendant(13, 10));
    EXPECT_FALSE(model.folders.is_descendant(10, 12));
    EXPECT_FALSE(model.folders.move_folder(10, 13));
    EXPECT_TRUE(reporter.has(msg::kMoveFolderToDescendant));
    EXPECT_EQ(model.folders.subtree_folders({10}), (std::vector<RowId>{11, 13}));

    int fresh = model.folders.create_folder("Fresh", 12);
    ASSERT_NE(fresh, 0);
    EXPECT_EQ(model.folders.folder_path(fresh), "/Z/Fresh");
    model.load();
    EXPECT_EQ(model.folders.folder_path(fresh), "/Z/Fresh");
    EXPECT_EQ(model.folders.find(fresh)->level, 2);

    // Y is shown under the root, outside X's subtree, so it stays.
    EXPECT_TRUE(model.folders.delete_folder(10));
    EXPECT_TRUE(folder_marked(13));
    EXPECT_EQ(live_folder_ids(), (std::vector<RowId>{1, 11, 12, fresh}));
}

TEST_F(FolderStoreTest, DeletingAFolderOnACycleHidesOnlyWhatIsShownBelowIt) {
    // X and Y are each other's parent: both are shown under the root, W under X, V under Y.
    EXPECT_TRUE(
        db.easy_query("INSERT INTO tb_folders (id, title, parent) VALUES (10, 'X', 11), "
                      "(11, 'Y', 10), (13, 'W', 10), (14, 'V', 11)"));
    EXPECT_TRUE(
        db.easy_query("INSERT INTO tb_links (title, url, parent) VALUES ('in X', "
                      "'http://x/', 10), ('in W', 'http://w/', 13)"));
    model.load();
    EXPECT_EQ(ancestry(10), "0,1");
    EXPECT_EQ(ancestry(13), "1,0,10");
    ASSERT_TRUE(model.folders.delete_folder(11));
    EXPECT_EQ(live_folder_ids(), (std::vector<RowId>{1, 10, 13}));
    EXPECT_EQ(model.links.links().size(), 2u);
    EXPECT_EQ(model.folders.repair_ancestry(), 0);
}

}  // namespace
}  // namespace tb::test
