#include "model/journal.h"

#include "model_fixture.h"
#include "platform/messages.h"

namespace tb::test {
namespace {

using JournalTest = ModelTest;

TEST_F(JournalTest, EveryActionWritesItsRowAndLabel) {
    EXPECT_FALSE(model.journal.load_last_action());
    EXPECT_FALSE(model.journal.journal_not_empty());

    int a = folder("A");
    int b = folder("B");
    ASSERT_TRUE(model.folders.rename_folder(a, "A2", true));
    ASSERT_TRUE(model.folders.move_folder(b, a));
    int l1 = link(b, "one");
    int l2 = link(b, "two");
    ASSERT_TRUE(model.links.edit_link(l1, "uno", "http://uno", "c"));
    int c = folder("C");
    ASSERT_TRUE(model.links.move_links({l2, l1}, c));
    ASSERT_TRUE(model.links.delete_link(l2));
    ASSERT_TRUE(model.folders.delete_folder(a));

    auto rows = journal_rows();
    ASSERT_EQ(rows.size(), 13u);
    EXPECT_EQ(rows[0].action, kUndoAddFolder);
    EXPECT_EQ(rows[0].id, a);
    EXPECT_EQ(rows[0].group_id, -1);
    EXPECT_EQ(rows[2].action, kUndoEditFolder);
    EXPECT_EQ(rows[2].name_from, "A");
    EXPECT_EQ(rows[2].protected_from, 0);
    EXPECT_EQ(rows[3].action, kUndoMoveFolder);
    EXPECT_EQ(rows[3].parent_from, kRootFolder);
    EXPECT_EQ(rows[3].group_id, -1);
    EXPECT_EQ(rows[4].action, kUndoAddLink);
    EXPECT_EQ(rows[6].action, kUndoEditLink);
    EXPECT_EQ(rows[6].name_from, "one");
    EXPECT_EQ(rows[6].url_from, "http://one");
    EXPECT_EQ(rows[6].comment_from, "");
    EXPECT_EQ(rows[6].name_to, "");
    // The group id of a link move is the first link moved.
    EXPECT_EQ(rows[8].action, kUndoMoveLink);
    EXPECT_EQ(rows[8].id, l2);
    EXPECT_EQ(rows[9].id, l1);
    EXPECT_EQ(rows[8].group_id, l2);
    EXPECT_EQ(rows[9].group_id, l2);
    EXPECT_EQ(rows[9].parent_from, b);
    EXPECT_EQ(rows[10].action, kUndoDeleteLink);
    EXPECT_EQ(rows[11].action, kUndoDeleteFolder);
    EXPECT_EQ(rows[11].id, a);
    EXPECT_EQ(rows[12].id, b);
    EXPECT_EQ(rows[12].group_id, a);
    EXPECT_EQ(rows[12].parent_to, -1);

    EXPECT_EQ(Journal::label(model.journal.load_last_action()->action), "Undo Delete Folder");
    EXPECT_EQ(Journal::label(kUndoEditLink), "Undo Edit Link");
    EXPECT_EQ(Journal::label(9), "Undefined Action");
}

TEST_F(JournalTest, DisabledJournalWritesNothingAndHidesNothing) {
    int a = folder("A");
    int l = link(a, "x");
    model.journal.set_enabled(false);
    int rows = static_cast<int>(count("SELECT COUNT(*) FROM tb_undo"));
    model.folders.delete_folder(a);
    model.links.delete_link(l);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_undo"), rows);
    EXPECT_NE(model.folders.find(a), nullptr);
    EXPECT_TRUE(model.links.find(l).has_value());
    {
        JournalPause pause(model.journal);
        EXPECT_FALSE(model.journal.enabled());
    }
    EXPECT_FALSE(model.journal.enabled());
}

TEST_F(JournalTest, UndoFolderActions) {
    int a = folder("A");
    int b = folder("B");
    int c = folder("C", b);
    // 0: the moved folder and the rows of its subtree go back.
    ASSERT_TRUE(model.folders.move_folder(b, a));
    EXPECT_EQ(ancestry(c), std::to_string(a) + ",1,0," + std::to_string(b));
    EXPECT_EQ(model.undo_last_action(), kUndoMoveFolder);
    EXPECT_EQ(model.folders.find(b)->parent, kRootFolder);
    EXPECT_EQ(ancestry(b), "0,1");
    EXPECT_EQ(ancestry(c), "1,0," + std::to_string(b));
    EXPECT_TRUE(model.folders.descendants(a).empty());

    // 6: title and flag both come back.
    ASSERT_TRUE(model.folders.rename_folder(a, "Renamed", true));
    EXPECT_TRUE(model.folders.find(a)->is_protected);
    EXPECT_EQ(model.undo_last_action(), kUndoEditFolder);
    EXPECT_EQ(model.folders.find(a)->title, "A");
    EXPECT_FALSE(model.folders.find(a)->is_protected);

    // 2: one undo revives the folder, its subfolders and their links.
    int l = link(c, "in-c");
    ASSERT_TRUE(model.folders.delete_folder(b));
    EXPECT_EQ(model.folders.find(c), nullptr);
    EXPECT_FALSE(model.links.find(l).has_value());
    EXPECT_EQ(model.undo_last_action(), kUndoDeleteFolder);
    EXPECT_NE(model.folders.find(c), nullptr);
    EXPECT_TRUE(model.links.find(l).has_value());

    // 4: the row goes at once, with its ancestry row.
    int d = folder("D", a);
    ASSERT_TRUE(model.journal.journal_not_empty());
    EXPECT_EQ(model.undo_last_action(), kUndoAddFolder);
    EXPECT_EQ(count(sql_format("SELECT COUNT(*) FROM tb_folders WHERE id = %d", d)), 0);
    EXPECT_EQ(ancestry(d), "<none>");
    EXPECT_EQ(model.folders.find(d), nullptr);
}

TEST_F(JournalTest, UndoLinkActions) {
    int f = folder("F");
    int g = folder("G");
    int l = link(f, "one");
    int m = link(f, "two");
    // 7
    ASSERT_TRUE(model.links.edit_link(l, "uno", "http://uno", "note"));
    EXPECT_EQ(model.undo_last_action(), kUndoEditLink);
    EXPECT_EQ(model.links.find(l)->title, "one");
    EXPECT_EQ(model.links.find(l)->url, "http://one");
    // 3: a multi-link delete comes back one link per undo.
    ASSERT_TRUE(model.links.delete_links({l, m}));
    EXPECT_TRUE(model.links.links().empty());
    EXPECT_EQ(model.undo_last_action(), kUndoDeleteLink);
    EXPECT_EQ(live_link_ids(), std::vector<RowId>{m});
    EXPECT_EQ(model.undo_last_action(), kUndoDeleteLink);
    EXPECT_EQ(live_link_ids(), (std::vector<RowId>{l, m}));
    // 1
    ASSERT_TRUE(model.links.move_links({l, m}, g));
    EXPECT_EQ(model.undo_last_action(), kUndoMoveLink);
    EXPECT_EQ(parent_of_link(l), f);
    EXPECT_EQ(parent_of_link(m), f);
    // 5
    EXPECT_EQ(model.undo_last_action(), kUndoAddLink);
    EXPECT_EQ(count(sql_format("SELECT COUNT(*) FROM tb_links WHERE id = %d", m)), 0);
    EXPECT_EQ(live_link_ids(), std::vector<RowId>{l});
}

TEST_F(JournalTest, UndoOfEmptyOrUndefinedJournal) {
    EXPECT_EQ(model.undo_last_action(), -1);
    EXPECT_TRUE(reporter.messages.empty());

    EXPECT_TRUE(db.easy_query("INSERT INTO tb_undo (id) VALUES ('5')"));
    EXPECT_EQ(model.undo_last_action(), -1);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].text, "undo_last_action(): last action undefined.");

    EXPECT_TRUE(db.easy_query("DELETE FROM tb_undo"));
    EXPECT_TRUE(db.easy_query("INSERT INTO tb_undo (action, id) VALUES ('9', '5')"));
    EXPECT_EQ(Journal::label(model.journal.load_last_action()->action), "Undefined Action");
    EXPECT_EQ(model.undo_last_action(), 9);
    EXPECT_FALSE(model.journal.journal_not_empty());
}

TEST_F(JournalTest, PurgeRemovesDeferredDeletionsAndEmptiesJournal) {
    int a = folder("A");
    int b = folder("B", a);
    int keep = folder("Keep");
    int la = link(a, "la");
    int lb = link(b, "lb");
    int lk = link(keep, "lk");
    int gone = link(keep, "gone");
    ASSERT_TRUE(model.folders.delete_folder(a));
    ASSERT_TRUE(model.links.delete_link(gone));
    // Hidden at once, rows still present until the purge.
    EXPECT_EQ(live_folder_ids(), (std::vector<RowId>{kRootFolder, keep}));
    EXPECT_EQ(live_link_ids(), std::vector<RowId>{lk});
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders"), 4);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_links"), 4);
    EXPECT_TRUE(link_marked(lb, b));

    ASSERT_TRUE(model.journal.purge());
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders"), 2);
    EXPECT_EQ(
        count(sql_format("SELECT COUNT(*) FROM tb_links WHERE id IN (%d, %d, %d)", la, lb, gone)),
        0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_links"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_parents"), 1);
    EXPECT_EQ(ancestry(keep), "0,1");
    EXPECT_FALSE(model.journal.journal_not_empty());
}

TEST_F(JournalTest, FailedPurgeChangesNothing) {
    int a = folder("A");
    link(a, "la");
    ASSERT_TRUE(model.folders.delete_folder(a));
    // The fourth statement fails after the first three already ran.
    ASSERT_TRUE(
        db.easy_query("CREATE TRIGGER no_purge BEFORE DELETE ON tb_parents BEGIN SELECT "
                      "RAISE(ABORT, 'no'); END"));
    EXPECT_FALSE(model.journal.purge());
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders"), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_links"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_undo WHERE action = 2"), 1);
    EXPECT_EQ(db.transaction_depth(), 0);
    // The connection is usable afterwards and the next purge goes through.
    ASSERT_TRUE(db.easy_query("DROP TRIGGER no_purge"));
    EXPECT_TRUE(model.journal.purge());
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_links"), 0);
}

}  // namespace
}  // namespace tb::test
