#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "core/feeds/local_http_server.h"
#include "model/model.h"
#include "platform/messages.h"
#include "support/test_support.h"

namespace tb {
namespace {

struct CliRun {
    int code = -1;
    std::string out;  // standard output and standard error together
};

CliRun run_cli(const test::TempDir& data, const std::string& args) {
    const std::string command = std::string("'") + TB_CLI_PATH + "' --data-dir '" +
                                data.path().string() + "' " + args + " 2>&1";
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, n);
    }
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(FeedsCommandTest, ParsePrintsItemsOrTheParserMessages) {
    test::TempDir data;
    const CliRun good =
        run_cli(data, "--json feeds parse '" + test::data_path("feeds/rdf.xml").string() + "'");
    EXPECT_EQ(good.code, 0);
    EXPECT_NE(good.out.find("\"ok\":true"), std::string::npos) << good.out;
    EXPECT_NE(good.out.find("{\"number\":1,\"title\":\"Noon reading\""), std::string::npos);

    const CliRun bad =
        run_cli(data, "feeds parse '" + test::data_path("feeds/not_xml.txt").string() + "'");
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.out.find("XML parser reports fatal error in the file:"), std::string::npos);
    EXPECT_NE(bad.out.find("Newsfeed 'not_xml.txt': some error occured when parsing XML file. "
                           "Skipping..."),
              std::string::npos);
}

TEST(FeedsCommandTest, AddListUpdateRemoveAndNoFilesLeft) {
    test::TempDir data;
    const CliRun empty = run_cli(data, "feeds add '' http://127.0.0.1:1/");
    EXPECT_EQ(empty.code, 1);
    EXPECT_NE(empty.out.find("Newsfeed's title and location cannot be empty."), std::string::npos);

    // Port 1 refuses at once: the update that follows the add fails quickly.
    EXPECT_EQ(run_cli(data, "feeds add \"Ann's\" http://127.0.0.1:1/feed.xml").code, 0);
    const CliRun list = run_cli(data, "--json feeds list");
    EXPECT_EQ(list.out,
              "[{\"id\":1,\"title\":\"Ann's\",\"location\":\"http://127.0.0.1:1/feed.xml\"}]\n");
    const CliRun update = run_cli(data, "feeds update 1");
    EXPECT_EQ(update.code, 0);
    EXPECT_EQ(update.out, "[1] Ann's (download failed: Couldn't connect to server)\n");
    EXPECT_EQ(run_cli(data, "feeds update 7").code, 1);
    EXPECT_EQ(run_cli(data, "feeds rm 7").code, 1);
    EXPECT_EQ(run_cli(data, "feeds rm 1").code, 0);
    EXPECT_EQ(run_cli(data, "feeds list").out, "");
    EXPECT_TRUE(std::filesystem::is_empty(data / "feeds"));
}

TEST(FeedsCommandTest, SubscriptionsGoOutAndComeBackAsOpml) {
    test::TempDir data;
    EXPECT_EQ(run_cli(data, "feeds add 'A & B' http://127.0.0.1:1/a.xml").code, 0);
    EXPECT_EQ(run_cli(data, "feeds add C http://127.0.0.1:1/c.xml").code, 0);
    const std::string file = (data / "subs.opml").string();
    const CliRun exported = run_cli(data, "feeds export-opml '" + file + "'");
    EXPECT_EQ(exported.code, 0) << exported.out;
    EXPECT_EQ(exported.out, "Exported 2 newsfeeds.\n");

    test::TempDir other;
    EXPECT_EQ(run_cli(other, "feeds add Mine http://127.0.0.1:1/c.xml").code, 0);
    const CliRun imported = run_cli(other, "feeds import-opml '" + file + "'");
    EXPECT_EQ(imported.code, 0) << imported.out;
    EXPECT_EQ(imported.out, "Added 1 newsfeeds, skipped 1 already subscribed.\n");
    EXPECT_EQ(run_cli(other, "feeds list").out,
              "1\tMine\thttp://127.0.0.1:1/c.xml\n2\tA & B\thttp://127.0.0.1:1/a.xml\n");

    const CliRun wrong =
        run_cli(other, "feeds import-opml '" + test::data_path("feeds/rdf.xml").string() + "'");
    EXPECT_EQ(wrong.code, 1);
    EXPECT_NE(wrong.out.find("not a subscription list"), std::string::npos) << wrong.out;
}

TEST(FeedsCommandTest, AddTakesAWebPageForTheFeedItAnnounces) {
    test::TempDir data;
    test::LocalHttpServer server;
    const char* rss = "application/rss+xml";
    auto link = [](const std::string& type, const std::string& title, const std::string& href) {
        return "<link rel=\"alternate\" type=\"" + type + "\" title=\"" + title + "\" href=\"" +
               href + "\">";
    };
    const std::vector<std::string> html = {"Content-Type: text/html"};
    server.route("/one/", {200, "<html><head>" + link(rss, "Posts", "feed.xml") + "</head>", html});
    server.route("/two", {200,
                          "<!DOCTYPE html><head><base href=\"/b/\">" + link(rss, "All", "all.xml") +
                              link("application/atom+xml", "Comments", "c.atom") + "</head>",
                          html});
    server.route("/none", {200, "<html><head><title>No feeds</title></head></html>", html});
    server.route("/one/feed.xml", {200, test::read_file(test::data_path("feeds/rss20.xml"))});

    const CliRun one = run_cli(data, "feeds add Blog '" + server.url("/one/") + "'");
    EXPECT_EQ(one.code, 0) << one.out;
    EXPECT_NE(one.out.find("Subscribing to " + server.url("/one/feed.xml")), std::string::npos)
        << one.out;
    const CliRun two = run_cli(data, "feeds add Two '" + server.url("/two") + "'");
    EXPECT_EQ(two.code, 0) << two.out;
    EXPECT_NE(two.out.find("The page announces 2 newsfeeds; subscribing to the first, " +
                           server.url("/b/all.xml") + "."),
              std::string::npos)
        << two.out;
    const CliRun none = run_cli(data, "feeds add None '" + server.url("/none") + "'");
    EXPECT_EQ(none.code, 1);
    EXPECT_NE(none.out.find("The page " + server.url("/none") +
                            " announces no newsfeed, so nothing was subscribed."),
              std::string::npos)
        << none.out;
    EXPECT_EQ(run_cli(data, "feeds list").out, "1\tBlog\t" + server.url("/one/feed.xml") +
                                                   "\n2\tTwo\t" + server.url("/b/all.xml") + "\n");
}

// Creates /News in the data folder's database, as the program would.
int make_news_folder(const test::TempDir& data) {
    RecordingReporter reporter;
    Database db(reporter);
    EXPECT_EQ(db.open_database(data.path()), OpenStatus::Ok);
    Model model(db);
    model.load();
    return model.folders.create_folder("News", kRootFolder);
}

struct StoredLink {
    int count = 0;
    std::string title, url, comment;
    int parent = 0;
};

StoredLink stored_link(const test::TempDir& data, const std::string& url) {
    RecordingReporter reporter;
    Database db(reporter);
    EXPECT_EQ(db.open_database(data.path()), OpenStatus::Ok);
    StoredLink link;
    auto stmt = db.prepare(sql_format(
        "SELECT title, url, comment, parent FROM tb_links WHERE url = '%q'", url.c_str()));
    while (stmt && stmt->step() == Step::Row) {
        ++link.count;
        link.title = stmt->text(0);
        link.url = stmt->text(1);
        link.comment = stmt->text(2);
        link.parent = stmt->integer(3);
    }
    return link;
}

TEST(FeedsCommandTest, StoreDownloadsTheFeedAndAddsItsItemThroughTheNewLinkChecks) {
    test::TempDir data;
    test::LocalHttpServer server;
    server.route("/garden.xml", {200, test::read_file(test::data_path("feeds/rss20.xml"))});
    const int news = make_news_folder(data);
    ASSERT_EQ(run_cli(data, "feeds add Garden '" + server.url("/garden.xml") + "'").code, 0);
    ASSERT_EQ(run_cli(data, "feeds add Gone '" + server.url("/gone.xml") + "'").code, 0);

    const CliRun stored = run_cli(data, "feeds store 1 2 /News");
    EXPECT_EQ(stored.code, 0) << stored.out;
    EXPECT_EQ(stored.out.rfind("Stored link ", 0), 0u) << stored.out;
    StoredLink link = stored_link(data, "https://garden.example/posts/3");
    EXPECT_EQ(link.count, 1);
    EXPECT_EQ(link.title, "Frost warning");
    EXPECT_EQ(link.comment, "Cover the seedlings tonight.");
    EXPECT_EQ(link.parent, news);

    // By id as well; entities and markup of the item arrive as the parser decoded them.
    EXPECT_EQ(run_cli(data, "feeds store 1 0 " + std::to_string(news)).code, 0);
    link = stored_link(data, "https://garden.example/posts/1?a=1&b=2");
    EXPECT_EQ(link.title, "Tomatoes & basil");
    // The description's HTML is stored as its plain text.
    EXPECT_EQ(link.comment, "Planted six rows.");

    // The New Link checks refuse a stored address again and the root folder.
    const CliRun again = run_cli(data, "feeds store 1 2 /News");
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.out.find(render(Message::of(msg::kUrlExists))), std::string::npos) << again.out;
    const CliRun root = run_cli(data, "feeds store 1 1 /");
    EXPECT_EQ(root.code, 1);
    EXPECT_NE(root.out.find(render(Message::of(msg::kNoLinksInRoot))), std::string::npos);
    EXPECT_EQ(stored_link(data, "https://garden.example/posts/3").count, 1);

    EXPECT_EQ(run_cli(data, "feeds store 1 9 /News").code, 1);
    const CliRun failed = run_cli(data, "feeds store 2 0 /News");
    EXPECT_EQ(failed.code, 1);
    EXPECT_NE(failed.out.find("Newsfeed 'Gone' could not be updated."), std::string::npos);
    EXPECT_EQ(run_cli(data, "feeds store 1 0 /Nowhere").code, 2);
    EXPECT_EQ(run_cli(data, "feeds store 1 -1 /News").code, 2);
    EXPECT_EQ(run_cli(data, "feeds store 7 0 /News").code, 1);
    EXPECT_TRUE(std::filesystem::is_empty(data / "feeds"));
}

}  // namespace
}  // namespace tb
