#include "search/search_engine.h"

#include <gtest/gtest.h>

#include "core/search/model_fixture.h"
#include "platform/messages.h"

namespace tb {
namespace {

// root
//   Tech: "Tech news"
//     Linux: "Kernel news" (kernel.org), "Distro watch"
//       Deep: "Deep one"
//   Food: "O'Reilly cooking", "Pasta recipes" (comment "italian")
class SearchEngineTest : public test::ModelFixture {
protected:
    void SetUp() override {
        ModelFixture::SetUp();
        tech = folder("Tech");
        linux_folder = folder("Linux", tech);
        deep = folder("Deep", linux_folder);
        food = folder("Food");
        tech_news = link("Tech news", "http://tech.example/", tech);
        kernel = link("Kernel news", "http://kernel.org/", linux_folder);
        distro = link("Distro watch", "http://distrowatch.example/", linux_folder);
        deep_one = link("Deep one", "http://deep.example/", deep);
        oreilly = link("O'Reilly cooking", "http://oreilly.example/", food);
        pasta = link("Pasta recipes", "http://pasta.example/", food, "italian");
        reporter.clear();
    }

    std::vector<RowId> found() const {
        std::vector<RowId> ids;
        for (const Link& link : engine.results()) {
            ids.push_back(link.id);
        }
        return ids;
    }

    static SearchQuery query(const std::string& text, int scope = kFromRoot) {
        SearchQuery q;
        q.text = text;
        q.folder_scope = scope;
        return q;
    }

    int saved() { return static_cast<int>(db.query_int("SELECT COUNT(*) FROM tb_queries")); }

    QueryHistory history{db};
    SearchEngine engine{model, history};
    int tech = 0, linux_folder = 0, deep = 0, food = 0;
    int tech_news = 0, kernel = 0, distro = 0, deep_one = 0, oreilly = 0, pasta = 0;
};

TEST_F(SearchEngineTest, PlainWordsFindAcrossFieldsInIdOrderOnce) {
    // "news" in two titles, "example" in five addresses; each link listed once, by id.
    EXPECT_EQ(engine.find(query("news"), kRootFolder), 2);
    EXPECT_EQ(found(), (std::vector<RowId>{tech_news, kernel}));
    EXPECT_EQ(engine.find(query("E"), kRootFolder), 6);
    EXPECT_EQ(found(), (std::vector<RowId>{tech_news, kernel, distro, deep_one, oreilly, pasta}));
    // Letter case does not matter; all words must occur, any word may.
    EXPECT_EQ(engine.find(query("KERNEL org"), kRootFolder), 1);
    SearchQuery any = query("italian kernel.org");
    any.match_mode = kAnyWord;
    EXPECT_EQ(engine.find(any, kRootFolder), 2);
    EXPECT_EQ(found(), (std::vector<RowId>{kernel, pasta}));
    EXPECT_EQ(engine.current_query().text, "italian OR kernel.org");
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(SearchEngineTest, FieldsAreSearchedOnlyWhenChosen) {
    SearchQuery q = query("italian");
    q.in_comments = false;
    EXPECT_EQ(engine.find(q, kRootFolder), 0);
    q.in_comments = true;
    q.in_titles = false;
    EXPECT_EQ(engine.find(q, kRootFolder), 1);
}

TEST_F(SearchEngineTest, MalformedExpressionsAreInvalidQueries) {
    // The last one balances only when the conditions of the columns are joined in parentheses.
    for (const char* text :
         {"(news and tech)", "((Tech OR news) AND news)", "news OR", "(news", "news ) OR ( tech"}) {
        SCOPED_TRACE(text);
        reporter.clear();
        engine.find(query("news"), kRootFolder);
        EXPECT_EQ(engine.find(query(text), kRootFolder), -1);
        EXPECT_TRUE(engine.results().empty());
        ASSERT_EQ(reporter.messages.size(), 1u);
        EXPECT_EQ(reporter.messages[0], Message::of(msg::kInvalidQuery));
    }
    // The spaced form of a valid expression works.
    EXPECT_EQ(engine.find(query("(Tech OR Distro)AND news"), kRootFolder), 1);
}

TEST_F(SearchEngineTest, AddressOrCommentPassFailureGivesZero) {
    SearchQuery q = query("(a");
    q.in_titles = false;
    reporter.clear();
    EXPECT_EQ(engine.find(q, kRootFolder), 0);
    EXPECT_TRUE(reporter.has(msg::kInvalidQuery));
    EXPECT_TRUE(engine.last_query_invalid());
    EXPECT_EQ(engine.find(query("zzz"), kRootFolder), 0);
    EXPECT_FALSE(engine.last_query_invalid());
}

TEST_F(SearchEngineTest, QuickSearchRules) {
    EXPECT_EQ(engine.quick_search("Tech OR Food"), -1);
    EXPECT_TRUE(reporter.has(msg::kInvalidQuery));
    // A single space is two empty words joined by AND: every live link.
    model.links.delete_link(distro);
    EXPECT_EQ(engine.quick_search(" "), 5);
    EXPECT_EQ(engine.quick_search(""), std::nullopt);
    EXPECT_EQ(engine.quick_search("tech news"), 1);
    EXPECT_EQ(saved(), 0);
}

TEST_F(SearchEngineTest, QuotesAndWildcards) {
    EXPECT_EQ(engine.find(query("O'Reilly"), kRootFolder), 1);
    EXPECT_EQ(found(), std::vector<RowId>{oreilly});
    // "%" and "_" stand for any run of characters.
    EXPECT_EQ(engine.find(query("Pa%ipes"), kRootFolder), 1);
    EXPECT_EQ(engine.find(query("Ker_news"), kRootFolder), 1);
    EXPECT_EQ(found(), std::vector<RowId>{kernel});
    // The column placeholder in a word is the word, not a column.
    const int costs = link("It costs $COLNAME dollars", "http://costs.example/", food);
    EXPECT_EQ(engine.find(query("costs $COLNAME dollars"), kRootFolder), 1);
    EXPECT_EQ(found(), std::vector<RowId>{costs});
}

TEST_F(SearchEngineTest, ScopeFromCurrentFolderIncludesItsOwnLinks) {
    EXPECT_EQ(engine.find(query("e", kFromCurrentFolder), tech), 4);
    EXPECT_EQ(found(), (std::vector<RowId>{tech_news, kernel, distro, deep_one}));
    EXPECT_EQ(engine.find(query("e", kFromCurrentFolder), deep), 1);
    EXPECT_EQ(engine.find(query("news", kFromCurrentFolder), food), 0);
}

TEST_F(SearchEngineTest, ScopeInCurrentFolderOnlyIgnoresSubfoldersAndFolderTitles) {
    SearchQuery q = query("e", kCurrentFolderOnly);
    q.in_parent_titles = true;
    EXPECT_EQ(engine.find(q, linux_folder), 2);
    EXPECT_EQ(found(), (std::vector<RowId>{kernel, distro}));
    q.text = "Deep";
    q.in_titles = q.in_addresses = false;
    EXPECT_EQ(engine.find(q, linux_folder), 0);
}

TEST_F(SearchEngineTest, ScopesWithoutARealFolderSearchFromTheRoot) {
    for (RowId current :
         {kSearchResultsFolder, kMostVisitedFolder, kNothingSelected, RowId{9999}}) {
        SCOPED_TRACE(current);
        EXPECT_EQ(engine.find(query("news", kFromCurrentFolder), current), 2);
        EXPECT_EQ(engine.find(query("news", kCurrentFolderOnly), current), 2);
    }
}

TEST_F(SearchEngineTest, FolderTitleMatchBringsInWholeSubtree) {
    SearchQuery q = query("linux");
    q.in_titles = q.in_addresses = q.in_comments = false;
    q.in_parent_titles = true;
    EXPECT_EQ(engine.find(q, kRootFolder), 3);
    EXPECT_EQ(found(), (std::vector<RowId>{kernel, distro, deep_one}));
    // From the current folder, folder titles match only strictly below it.
    EXPECT_EQ(engine.find(query(q.text, kFromCurrentFolder), tech), 0);
    q.folder_scope = kFromCurrentFolder;
    EXPECT_EQ(engine.find(q, tech), 3);
    EXPECT_EQ(engine.find(q, linux_folder), 0);
    q.text = "deep";
    EXPECT_EQ(engine.find(q, linux_folder), 1);
}

TEST_F(SearchEngineTest, DeletedLinksAreNeverFound) {
    model.links.delete_link(kernel);
    EXPECT_EQ(engine.find(query("news"), kRootFolder), 1);
    EXPECT_EQ(found(), std::vector<RowId>{tech_news});

    delete_folder(linux_folder);
    SearchQuery q = query("e");
    q.in_parent_titles = true;
    EXPECT_EQ(engine.find(q, kRootFolder), 3);
    EXPECT_EQ(found(), (std::vector<RowId>{tech_news, oreilly, pasta}));
    // A live folder's title match does not bring back deleted links below it.
    q.text = "Tech";
    q.in_titles = q.in_addresses = q.in_comments = false;
    EXPECT_EQ(engine.find(q, kRootFolder), 1);
}

TEST_F(SearchEngineTest, HistoryStoresSuccessfulRootSearchesOnce) {
    engine.find(query("news"), kRootFolder);
    engine.find(query("news"), kRootFolder);
    EXPECT_EQ(saved(), 1);
    SearchQuery flags = query("news");
    flags.in_comments = false;
    engine.find(flags, kRootFolder);
    engine.find(query("NEWS"), kRootFolder);
    EXPECT_EQ(saved(), 3);

    engine.find(query("nothing-like-this"), kRootFolder);
    engine.find(query("tech", kFromCurrentFolder), tech);
    engine.find(query("tech", kCurrentFolderOnly), tech);
    engine.quick_search("Food");
    EXPECT_EQ(saved(), 3);

    // A scoped search without a real folder runs, and is stored, as a root search.
    engine.find(query("Deep", kFromCurrentFolder), kSearchResultsFolder);
    EXPECT_EQ(saved(), 4);

    ASSERT_EQ(history.load_query_history(), 4);
    EXPECT_EQ(history.list()[1].text, "news");
    EXPECT_FALSE(history.list()[1].in_comments);
    EXPECT_EQ(engine.rerun_saved(2), 2);
    EXPECT_EQ(engine.current_query().text, "NEWS");
    EXPECT_EQ(engine.rerun_saved(4), std::nullopt);
    EXPECT_EQ(saved(), 4);
}

TEST_F(SearchEngineTest, RefreshKeepsTheScopeOfTheLastSearch) {
    EXPECT_EQ(engine.find(query("e", kCurrentFolderOnly), linux_folder), 2);
    model.links.delete_link(kernel);
    EXPECT_EQ(engine.refresh(), 1);
    EXPECT_EQ(found(), std::vector<RowId>{distro});
}

// Another process, here a second connection, purges one of the links found.
class SearchResultsReadLaterTest : public SearchEngineTest {
protected:
    void purge_elsewhere(RowId id) {
        SilentReporter silent;
        Database other(silent);
        ASSERT_EQ(other.open_database(dir / "data"), OpenStatus::Ok);
        ASSERT_TRUE(other.easy_query("DELETE FROM tb_links WHERE id = ?", {id}));
    }
    std::vector<RowId> visited(LinkStore::Order order) const {
        std::vector<RowId> ids;
        EXPECT_TRUE(engine.visit_results([&ids](const Link& link) { ids.push_back(link.id); },
                                         order, LinkStore::Flag::Skip));
        return ids;
    }
};

TEST_F(SearchResultsReadLaterTest, ALinkGoneBeforeTheReadIsLeftOut) {
    ASSERT_EQ(engine.find(query("news"), kRootFolder), 2);
    purge_elsewhere(tech_news);
    EXPECT_EQ(engine.result_ids(), (std::vector<RowId>{tech_news, kernel}));
    EXPECT_EQ(found(), std::vector<RowId>{kernel});
    EXPECT_EQ(visited(LinkStore::Order::Id), std::vector<RowId>{kernel});
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(SearchResultsReadLaterTest, ASnapshotKeepsTheIdsAndTheLinksTogether) {
    {
        const ReadSnapshot snapshot(db);
        ASSERT_EQ(engine.run_search(query("e"), kRootFolder, false), 6);
        purge_elsewhere(kernel);
        // By title, as the results page lists them: "Deep one" < "Distro watch" < "Kernel news".
        EXPECT_EQ(visited(LinkStore::Order::Title),
                  (std::vector<RowId>{deep_one, distro, kernel, oreilly, pasta, tech_news}));
    }
    EXPECT_EQ(visited(LinkStore::Order::Id),
              (std::vector<RowId>{tech_news, distro, deep_one, oreilly, pasta}));
    EXPECT_EQ(saved(), 0);
    engine.remember();
    EXPECT_EQ(saved(), 1);
}

TEST_F(SearchResultsReadLaterTest, ScopesAndPendingDeletionsAreAppliedToTheIds) {
    model.links.delete_link(distro);
    EXPECT_EQ(engine.find(query("e", kFromCurrentFolder), linux_folder), 2);
    EXPECT_EQ(engine.result_ids(), (std::vector<RowId>{kernel, deep_one}));
    // The flag of a link that shares its address with a live link is read unless skipped.
    link("Kernel again", "http://kernel.org/", food);
    std::vector<bool> flags;
    ASSERT_TRUE(
        engine.visit_results([&flags](const Link& link) { flags.push_back(link.has_duplicates); }));
    EXPECT_EQ(flags, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace tb
