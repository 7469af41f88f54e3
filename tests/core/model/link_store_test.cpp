#include "model/link_store.h"

#include "model_fixture.h"
#include "platform/messages.h"

namespace tb::test {
namespace {

using LinkStoreTest = ModelTest;

TEST(DefaultScheme, OnlyAddressesWithoutSchemeGetHttp) {
    EXPECT_EQ(with_default_scheme("example.org"), "http://example.org");
    EXPECT_EQ(with_default_scheme("https://example.org"), "https://example.org");
    EXPECT_EQ(with_default_scheme("ftp://host/file"), "ftp://host/file");
    EXPECT_EQ(with_default_scheme("file:///home/a.html"), "file:///home/a.html");
    EXPECT_EQ(with_default_scheme("svn+ssh://host"), "svn+ssh://host");
    EXPECT_EQ(with_default_scheme("mailto:a@b.org"), "mailto:a@b.org");
    EXPECT_EQ(with_default_scheme("MAILTO:a@b.org"), "MAILTO:a@b.org");
    EXPECT_EQ(with_default_scheme("example.org/?u=http://x"), "http://example.org/?u=http://x");
    EXPECT_EQ(with_default_scheme("1http://x"), "http://1http://x");
    EXPECT_EQ(with_default_scheme("localhost:8080"), "http://localhost:8080");
}

TEST_F(LinkStoreTest, NewLinkChecksInTheirOrder) {
    int f = folder("F");
    int g = folder("G");
    auto check = [&](NewLinkRequest request) { return model.links.check_new_link(request); };
    EXPECT_EQ(check({.parent = kRootFolder, .title = "", .url = ""}), msg::kNoLinksInRoot);
    EXPECT_EQ(check({.parent = kMostVisitedFolder, .title = "t", .url = "u"}), msg::kNoLinksInRoot);
    EXPECT_EQ(check({.parent = f, .title = "", .url = "u"}), msg::kItemLinkAddressEmpty);
    EXPECT_EQ(check({.parent = f, .title = "t", .url = ""}), msg::kItemLinkAddressEmpty);

    int first = model.links.add_new_link({.parent = f, .title = "Ex", .url = "example.org"});
    ASSERT_NE(first, 0);
    EXPECT_EQ(model.links.find(first)->url, "http://example.org");
    // The prefixed address is what the duplicate check compares.
    EXPECT_EQ(model.links.add_new_link({.parent = g, .title = "Other", .url = "example.org"}), 0);
    EXPECT_TRUE(reporter.has(msg::kUrlExists));
    // 179 comes before 180.
    EXPECT_EQ(check({.parent = f, .title = "Ex", .url = "http://example.org"}), msg::kUrlExists);
    EXPECT_EQ(check({.parent = f, .title = "Ex", .url = "http://b.org"}),
              msg::kTitleExistsInFolder);
    EXPECT_EQ(check({.parent = g, .title = "Ex", .url = "http://b.org"}), 0);
    int dup = model.links.add_new_link(
        {.parent = g, .title = "Ex", .url = "http://example.org", .allow_duplicates = true});
    ASSERT_NE(dup, 0);
    EXPECT_TRUE(model.links.find(first)->has_duplicates);
    EXPECT_TRUE(model.links.find(dup)->has_duplicates);
    EXPECT_EQ(model.links.count_url_links("http://example.org"), 2);
    EXPECT_EQ(model.links.duplicates_of(first).size(), 2u);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_undo WHERE action = 5"), 2);
}

TEST_F(LinkStoreTest, DeletedLinksBlockNeitherAddressNorTitle) {
    int f = folder("F");
    int a = link(f, "T", "http://a.org");
    int b = link(folder("G"), "B", "http://a.org");
    EXPECT_TRUE(model.links.find(a)->has_duplicates);
    ASSERT_TRUE(model.links.delete_link(b));
    EXPECT_FALSE(model.links.find(a)->has_duplicates);
    ASSERT_TRUE(model.links.delete_link(a));
    EXPECT_FALSE(model.links.link_address_exists("http://a.org"));
    EXPECT_NE(model.links.add_new_link({.parent = f, .title = "T", .url = "http://a.org"}), 0);
    // The deleted row comes first; the live one must still block the title.
    EXPECT_FALSE(model.links.link_title_free(f, "T"));
    EXPECT_EQ(model.links.add_new_link(
                  {.parent = f, .title = "T", .url = "http://c.org", .allow_duplicates = true}),
              0);
    EXPECT_TRUE(reporter.has(msg::kTitleExistsInFolder));
    EXPECT_FALSE(model.links.delete_link(a));
}

TEST_F(LinkStoreTest, ArrayIsSortedByTitleBytesAndFlagsFollowFolderDeletes) {
    int f = folder("F");
    int g = folder("G");
    link(f, "b", "http://same");
    link(f, "B", "http://other");
    int in_g = link(g, "a", "http://same");
    std::vector<std::string> titles;
    for (const Link& l : model.links.links()) {
        titles.push_back(l.title);
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"B", "a", "b"}));
    EXPECT_EQ(model.links.links_in(f).size(), 2u);
    ASSERT_TRUE(model.folders.delete_folder(f));
    // The folder delete reloads the array: its links and their duplicate flags are gone.
    EXPECT_EQ(live_link_ids(), std::vector<RowId>{in_g});
    EXPECT_FALSE(model.links.find(in_g)->has_duplicates);
}

TEST_F(LinkStoreTest, LongSharedPrefixesAndHighBytesSortByEveryByte) {
    const std::vector<std::string> titles = {"Sixteen byte prefix: second",
                                             "Sixteen byte prefix: first",
                                             "Sixteen byte prefix",
                                             "Sixteen byte prefi",
                                             "",
                                             "Zebra",
                                             "apple",
                                             "Ärger",
                                             "Яблоко",
                                             "Sixteen byte prefix: first!",
                                             "A\x01",
                                             "A",
                                             "Zebra"};
    int f = folder("F");
    {
        Transaction transaction(db);
        for (size_t i = 0; i < titles.size(); ++i) {
            EXPECT_TRUE(
                db.easy_query(sql_format("INSERT INTO tb_links (title, url, parent) VALUES ('%q', "
                                         "'http://x/%d', '%d')",
                                         titles[i].c_str(), static_cast<int>(i), f)));
        }
        EXPECT_TRUE(transaction.commit());
    }
    std::vector<std::string> loaded;
    for (const Link& l : model.links.links()) {
        loaded.push_back(l.title);
        EXPECT_EQ(model.links.find(l.id)->title, l.title);
    }
    std::vector<std::string> expected = titles;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(loaded, expected);
    // A folder's list is sorted in memory: it must keep the order the index gives, equal titles
    // by id.
    std::vector<RowId> by_index;
    auto row = db.prepare("SELECT id FROM tb_links WHERE parent = ? ORDER BY title, id", {f});
    while (row && row->step() == Step::Row) {
        by_index.push_back(row->int64(0));
    }
    std::vector<RowId> listed;
    for (const Link& l : model.links.links_in(f)) {
        listed.push_back(l.id);
    }
    EXPECT_EQ(listed, by_index);
}

// Every read asks the file, so flags follow an edit, a move, an undo and another writer at once.
TEST_F(LinkStoreTest, FlagsAndFoldersFollowEachWriteWithoutAReload) {
    int f = folder("F");
    int g = folder("G");
    int a = link(f, "A", "http://a.org");
    int b = link(g, "B", "http://b.org");
    auto flags_in = [&](int folder_id) {
        std::vector<std::pair<int, bool>> out;
        for (const Link& l : model.links.links_in(folder_id)) {
            out.emplace_back(l.id, l.has_duplicates);
        }
        return out;
    };
    using Flags = std::vector<std::pair<int, bool>>;
    ASSERT_TRUE(model.links.edit_link(b, "B", "http://a.org", ""));
    EXPECT_EQ(flags_in(f), (Flags{{a, true}}));
    EXPECT_EQ(flags_in(g), (Flags{{b, true}}));
    ASSERT_EQ(model.undo_last_action(), kUndoEditLink);
    EXPECT_EQ(flags_in(f), (Flags{{a, false}}));
    EXPECT_EQ(flags_in(g), (Flags{{b, false}}));

    ASSERT_TRUE(model.links.move_links({a}, g));
    EXPECT_EQ(flags_in(f), Flags{});
    EXPECT_EQ(flags_in(g), (Flags{{a, false}, {b, false}}));
    ASSERT_EQ(model.undo_last_action(), kUndoMoveLink);
    EXPECT_EQ(flags_in(f), (Flags{{a, false}}));
    EXPECT_EQ(flags_in(g), (Flags{{b, false}}));

    RecordingReporter other_reporter;
    Database other(other_reporter);
    ASSERT_EQ(other.open_database(dir.path()), OpenStatus::Ok);
    ASSERT_TRUE(other.easy_query("INSERT INTO tb_links (title, url, parent) VALUES (?, ?, ?)",
                                 {"C", "http://b.org", f}));
    const int c = static_cast<int>(other.last_insert_rowid());
    EXPECT_EQ(flags_in(f), (Flags{{a, false}, {c, true}}));
    EXPECT_EQ(flags_in(g), (Flags{{b, true}}));
    // A pending deletion hides the link and clears the flag of the one left.
    ASSERT_TRUE(model.links.delete_link(c));
    EXPECT_EQ(flags_in(f), (Flags{{a, false}}));
    EXPECT_EQ(flags_in(g), (Flags{{b, false}}));
    EXPECT_FALSE(model.links.find(c).has_value());
}

// A list's flags come from one pass over its addresses: they agree with each address's own
// count of live links, whatever the order of titles and addresses, inside a write too.
TEST_F(LinkStoreTest, ListFlagsAgreeWithEachAddressCount) {
    int f = folder("F");
    int g = folder("G");
    for (int i = 0; i < 60; ++i) {
        // Titles ascend while addresses run the other way; every third address repeats.
        const std::string url = "http://" + std::to_string(100 - i % 40) + ".org";
        link(i % 5 == 0 ? g : f, "T" + std::to_string(100 + i), url);
    }
    const int gone = link(g, "Gone", "http://only-with-deleted.org");
    const int left = link(f, "Left", "http://only-with-deleted.org");
    ASSERT_TRUE(model.links.delete_link(gone));
    auto agree = [&](const std::vector<Link>& links) {
        for (const Link& l : links) {
            EXPECT_EQ(l.has_duplicates, model.links.count_url_links(l.url) > 1) << l.title;
        }
    };
    const std::vector<Link> shown = model.links.links_in(f);
    ASSERT_EQ(shown.size(), 49u);
    agree(shown);
    EXPECT_FALSE(model.links.find(left)->has_duplicates);
    const std::vector<Link> picked =
        model.links.links_in_with_urls(f, {"http://61.org", "http://99.org", "http://none"});
    ASSERT_EQ(picked.size(), 3u);
    agree(picked);

    Transaction transaction(db);
    link(g, "Again", "http://only-with-deleted.org");
    EXPECT_TRUE(model.links.find(left)->has_duplicates);
    agree(model.links.links_in(f));
    transaction.rollback();
    EXPECT_FALSE(model.links.find(left)->has_duplicates);
}

// An undo names the addresses its links had before it, which the links may no longer have.
TEST_F(LinkStoreTest, UndoTellsTheFormerAddresses) {
    int f = folder("F");
    int a = link(f, "A", "http://a.org");
    ASSERT_TRUE(model.links.edit_link(a, "A", "http://b.org", ""));
    ASSERT_EQ(model.undo_last_action(), kUndoEditLink);
    EXPECT_EQ(model.undone_addresses(), std::vector<std::string>{"http://b.org"});
    ASSERT_EQ(model.undo_last_action(), kUndoAddLink);
    EXPECT_EQ(model.undone_links(), std::vector<RowId>{a});
    EXPECT_EQ(model.undone_addresses(), std::vector<std::string>{"http://a.org"});
}

TEST_F(LinkStoreTest, EditChecksAndJournal) {
    int f = folder("F");
    int l = link(f, "t", "http://t");
    const auto rows = count("SELECT COUNT(*) FROM tb_undo");
    EXPECT_FALSE(model.links.edit_link_checked(l, " ", "http://x", ""));
    EXPECT_FALSE(model.links.edit_link_checked(l, "x", "\t", ""));
    EXPECT_EQ(reporter.count(msg::kLinkTitleAddressEmpty), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_undo"), rows);
    EXPECT_FALSE(model.links.edit_link(9999, "x", "y", ""));
    ASSERT_TRUE(model.links.edit_link_checked(l, " New ", " http://n ", " c "));
    EXPECT_EQ(model.links.find(l)->title, "New");
    EXPECT_EQ(model.links.find(l)->url, "http://n");
    EXPECT_EQ(model.links.find(l)->comment, "c");
}

TEST_F(LinkStoreTest, UndoOfMixedParentMoveReturnsEachLinkHome) {
    int f1 = folder("F1");
    int f2 = folder("F2");
    int f3 = folder("F3");
    int a = link(f1, "a");
    int b = link(f2, "b");
    int older = link(f3, "older");
    ASSERT_TRUE(model.links.delete_link(older));
    EXPECT_FALSE(model.links.move_links({a}, kRootFolder));
    EXPECT_TRUE(reporter.has(msg::kNoLinksInRoot));
    // Unknown and repeated ids are left out; the group is led by the first moved link.
    ASSERT_TRUE(model.links.move_links({9999, a, b, a}, f3));
    auto rows = journal_rows();
    ASSERT_EQ(count("SELECT COUNT(*) FROM tb_undo WHERE action = 1"), 2);
    EXPECT_EQ(rows.back().group_id, a);
    EXPECT_EQ(model.undo_last_action(), kUndoMoveLink);
    EXPECT_EQ(parent_of_link(a), f1);
    EXPECT_EQ(parent_of_link(b), f2);
    EXPECT_EQ(model.links.find(a)->parent, f1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_undo WHERE action = 1"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_undo WHERE action = 3"), 1);
}

TEST_F(LinkStoreTest, UndoTakesOnlyTheLastMoveWhenTheSameLinkLedTwo) {
    int f1 = folder("F1");
    int f2 = folder("F2");
    int f3 = folder("F3");
    int f4 = folder("F4");
    int a = link(f1, "a");
    int b = link(f2, "b");
    ASSERT_TRUE(model.links.move_links({a}, f3));
    ASSERT_TRUE(model.links.move_links({a, b}, f4));
    EXPECT_EQ(model.undo_last_action(), kUndoMoveLink);
    EXPECT_EQ(parent_of_link(a), f3);
    EXPECT_EQ(parent_of_link(b), f2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_undo WHERE action = 1"), 1);
    EXPECT_EQ(model.undo_last_action(), kUndoMoveLink);
    EXPECT_EQ(parent_of_link(a), f1);
}

TEST_F(LinkStoreTest, ImportInsertKeepsIdAndVisitsAndFailsCleanly) {
    int f = folder("F");
    ASSERT_EQ(model.links.insert_link_with_id("Imp", "http://imp", "", 40, f, 7), 40);
    EXPECT_EQ(model.links.max_link_id(), 40);
    const auto rows = count("SELECT COUNT(*) FROM tb_undo");
    EXPECT_EQ(model.links.insert_link_with_id("Clash", "http://c", "", 40, f, 0), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_undo"), rows);
    EXPECT_EQ(model.links.find(40)->visits, 7);
    EXPECT_EQ(model.links.find(40)->title, "Imp");
}

}  // namespace
}  // namespace tb::test
