#include "feeds/channel_list.h"

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <mutex>

#include "local_http_server.h"
#include "platform/messages.h"
#include "support/test_support.h"
#include "text/temp_files.h"

namespace tb {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Kind = FeedEvent::Kind;

const std::string kTwoItems =
    "<rss><channel><title>c</title><item><title>One</title><link>http://a/1</link>"
    "<description>first</description></item><item><title></title><link>http://a/2</link>"
    "</item></channel></rss>";

class ChannelListTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static std::once_flag once;
        std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    }

    void SetUp() override {
        ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
        options.connect_timeout_ms = 2000;
        options.stall_timeout_ms = 30000;
    }

    std::unique_ptr<ChannelList> make_list(bool with_xml = true) {
        if (with_xml) {
            EXPECT_TRUE(xml.initialize(reporter));
        }
        auto list = std::make_unique<ChannelList>(db, xml, dir / "feeds", options);
        list->load_channels();
        return list;
    }

    int add_row(const std::string& title, const std::string& path) {
        EXPECT_TRUE(db.easy_query("INSERT INTO tb_channels (title, location) VALUES ('" + title +
                                  "', '" + server.url(path) + "')"));
        return static_cast<int>(db.last_insert_rowid());
    }

    RecordingReporter reporter;
    test::TempDir dir;
    Database db{reporter};
    XercesRuntime xml;
    DownloadOptions options;
    test::LocalHttpServer server;
};

// A killed update leaves its download behind; the next start removes it once it is an hour old,
// since a younger one may be another process's, and leaves whatever else is in the folder.
TEST_F(ChannelListTest, StartRemovesOnlyTheProgramsOwnOldDownloads) {
    const fs::path feeds = dir / "feeds";
    fs::create_directories(feeds);
    const fs::path old_download = feeds / temp_file_name("abcdef-feed.xml");
    const fs::path young_download = feeds / temp_file_name("ghijkl-feed.xml");
    const fs::path users = feeds / "notes.xml";
    for (const fs::path& file : {old_download, young_download, users}) {
        test::write_file(file, "<rss/>");
    }
    const auto now = fs::file_time_type::clock::now();
    fs::last_write_time(old_download, now - std::chrono::minutes(61));
    fs::last_write_time(young_download, now - std::chrono::minutes(59));
    fs::last_write_time(users, now - std::chrono::hours(100));
    auto list = make_list(false);
    EXPECT_FALSE(fs::exists(old_download));
    EXPECT_TRUE(fs::exists(young_download));
    EXPECT_TRUE(fs::exists(users));
}

TEST_F(ChannelListTest, AddAndDeleteKeepQuotesAndRefuseEmptyFields) {
    auto list = make_list(false);
    EXPECT_FALSE(list->add_channel("", "http://x/"));
    EXPECT_FALSE(list->add_channel("T", ""));
    EXPECT_EQ(reporter.count(msg::kNewsfeedFieldsEmpty), 2);

    ASSERT_TRUE(list->add_channel("Bob's feed", "http://x/it's.xml"));
    ASSERT_TRUE(list->add_channel("Second", "http://y/"));
    auto channels = list->channels();
    ASSERT_EQ(channels.size(), 2u);
    EXPECT_EQ(channels[0].title, "Bob's feed");
    EXPECT_EQ(channels[0].location, "http://x/it's.xml");
    EXPECT_EQ(channels[0].state, UpdateState::NotUpdated);  // no XML library: nothing runs
    EXPECT_EQ(db.query_int("SELECT COUNT(*) FROM tb_channels WHERE title = 'Bob''s feed'"), 1);
    EXPECT_EQ(list->location(channels[1].id), "http://y/");

    ASSERT_TRUE(list->delete_channel(channels[0].id));
    channels = list->channels();
    ASSERT_EQ(channels.size(), 1u);
    EXPECT_EQ(channels[0].title, "Second");
    EXPECT_EQ(list->location(999), "");
}

TEST_F(ChannelListTest, RemoveChannelsDeletesEveryRowAndStartsNoUpdate) {
    server.route("/a.xml", {200, kTwoItems});
    const int a = add_row("A", "/a.xml");
    const int b = add_row("B", "/a.xml");
    const int c = add_row("C", "/a.xml");
    auto list = make_list();
    ASSERT_TRUE(list->remove_channels({a, c}));
    list->wait_for_workers();
    const auto channels = list->channels();
    ASSERT_EQ(channels.size(), 1u);
    EXPECT_EQ(channels[0].id, b);
    EXPECT_EQ(channels[0].state, UpdateState::NotUpdated);
    EXPECT_EQ(server.requests(), 0);
    EXPECT_EQ(db.query_int("SELECT COUNT(*) FROM tb_channels"), 1);
}

TEST_F(ChannelListTest, UpdateAllSetsStatesItemsLinksAndEvents) {
    server.route("/good.xml", {200, kTwoItems});
    server.route("/bad.xml", {200, "not xml at all"});
    const int good = add_row("Good", "/good.xml");
    const int missing = add_row("Missing", "/missing.xml");
    const int bad = add_row("Bad", "/bad.xml");
    auto list = make_list();
    list->update_all();
    list->wait_for_workers();

    const auto good_channel = list->channel(good);
    ASSERT_TRUE(good_channel);
    EXPECT_EQ(good_channel->state, UpdateState::Updated);
    EXPECT_FALSE(good_channel->running);
    ASSERT_EQ(good_channel->links.size(), 2u);
    EXPECT_EQ(good_channel->links[0].id, 0);
    EXPECT_EQ(good_channel->links[0].url, "http://a/1");
    EXPECT_EQ(good_channel->links[0].comment, "first");
    EXPECT_EQ(good_channel->links[1].parent, kNewsfeedsFolder);
    // The untitled item is kept but not listed.
    ASSERT_EQ(list->listed_links(good).size(), 1u);
    EXPECT_EQ(list->item(good, 1)->link, "http://a/2");
    EXPECT_FALSE(list->item(good, 2));

    EXPECT_EQ(list->channel(missing)->state, UpdateState::DownloadFailed);
    EXPECT_EQ(render(list->channel(missing)->failure), "HTTP status 404");
    // A document that does not parse fails with the parser's line, instead of staying Updating.
    EXPECT_EQ(list->channel(bad)->state, UpdateState::DownloadFailed);
    EXPECT_EQ(render(list->channel(bad)->failure).rfind("XML error at line 1: ", 0), 0u);
    EXPECT_FALSE(list->channel(bad)->running);
    EXPECT_TRUE(list->listed_links(bad).empty());

    int updated = 0, failed = 0, items_changed = 0, bad_messages = 0;
    for (const FeedEvent& event : list->events().drain()) {
        updated += event.kind == Kind::StateChanged && event.state == UpdateState::Updated;
        failed += event.kind == Kind::StateChanged && event.state == UpdateState::DownloadFailed;
        items_changed += event.kind == Kind::ItemsChanged && event.channel_id == good;
        bad_messages += event.kind == Kind::Message && event.channel_id == bad;
    }
    EXPECT_EQ(updated, 1);
    EXPECT_EQ(failed, 2);
    EXPECT_EQ(items_changed, 1);
    EXPECT_EQ(bad_messages, 2);  // fatal error and "Skipping..."
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(ChannelListTest, FeedWithoutItemsIsUpdatedAndEmpty) {
    server.route("/feed.xml", {200, kTwoItems});
    const int id = add_row("Feed", "/feed.xml");
    auto list = make_list();
    ASSERT_TRUE(list->update_one(id));
    list->wait_for_workers();
    ASSERT_EQ(list->channel(id)->state, UpdateState::Updated);

    server.route("/feed.xml", {200, "<rss><channel></channel></rss>"});
    ASSERT_TRUE(list->update_one(id));
    list->wait_for_workers();
    EXPECT_EQ(list->channel(id)->state, UpdateState::Updated);
    EXPECT_TRUE(list->channel(id)->items.empty());
    EXPECT_TRUE(list->listed_links(id).empty());
    // Reloading discards the items.
    list->load_channels();
    EXPECT_TRUE(list->channel(id)->items.empty());
    EXPECT_EQ(list->channel(id)->state, UpdateState::NotUpdated);
}

TEST_F(ChannelListTest, NotModifiedKeepsTheItemsOnlyWhenThisProcessHoldsThem) {
    server.route("/feed.xml", {200, kTwoItems, {"Last-Modified: Tue, 01 Dec 2026 08:00:00 GMT"}});
    server.route_if("/feed.xml", "If-Modified-Since: Tue, 01 Dec 2026 08:00:00 GMT", {304, ""});
    const int id = add_row("Feed", "/feed.xml");
    auto list = make_list();
    for (int round = 0; round < 2; ++round) {
        list->update_one(id);
        list->wait_for_workers();
        EXPECT_EQ(list->channel(id)->state, UpdateState::Updated);
        EXPECT_EQ(list->channel(id)->items.size(), 2u);
    }
    EXPECT_NE(server.last_request().find("If-Modified-Since"), std::string::npos);
    // After a reload the items are gone, so the next request asks for the whole feed.
    list->load_channels();
    list->update_one(id);
    list->wait_for_workers();
    EXPECT_EQ(server.last_request().find("If-Modified-Since"), std::string::npos);
    EXPECT_EQ(list->channel(id)->items.size(), 2u);
}

TEST_F(ChannelListTest, RetryAfterHoldsBackTimerUpdatesAndSaysWhy) {
    server.route("/busy.xml", {429, "", {"Retry-After: 3600"}});
    const int id = add_row("Busy", "/busy.xml");
    auto list = make_list();
    list->update_all(UpdateTrigger::Timer);
    list->wait_for_workers();
    const auto busy = list->channel(id);
    EXPECT_EQ(busy->state, UpdateState::DownloadFailed);
    // One entry of the message table with the status as its argument, translated whole.
    EXPECT_EQ(busy->failure.id, msg::kServerAsksToWait);
    ASSERT_EQ(busy->failure.args.size(), 2u);
    EXPECT_EQ(busy->failure.args[0], "429");
    EXPECT_EQ(render(busy->failure).rfind("HTTP status 429; the server asks to wait until ", 0), 0u)
        << render(busy->failure);
    const int requests = server.requests();
    EXPECT_FALSE(list->update_one(id, UpdateTrigger::Timer));
    list->update_all(UpdateTrigger::Timer);
    list->wait_for_workers();
    EXPECT_EQ(server.requests(), requests);
    // The user's own update still goes out.
    EXPECT_TRUE(list->update_one(id));
    list->wait_for_workers();
    EXPECT_EQ(server.requests(), requests + 1);
}

TEST_F(ChannelListTest, TwelveFeedsShareFourWorkersAndAllFinish) {
    test::LocalHttpServer::Response slow{200, kTwoItems};
    slow.delay = std::chrono::milliseconds(150);
    std::vector<RowId> ids;
    for (int i = 0; i < 12; ++i) {
        const std::string path = "/feed" + std::to_string(i) + ".xml";
        server.route(path, slow);
        ids.push_back(add_row("Feed " + std::to_string(i), path));
    }
    auto list = make_list();
    list->update_all();
    // Every feed waits its turn as "updating"; a second update of a waiting one is refused.
    EXPECT_FALSE(list->update_one(ids.back()));
    EXPECT_EQ(list->channel(ids.back())->state, UpdateState::Updating);
    list->wait_for_workers();
    EXPECT_EQ(server.requests(), 12);
    EXPECT_LE(server.peak_concurrency(), static_cast<int>(kFeedWorkers));
    EXPECT_GE(server.peak_concurrency(), 2);
    for (int id : ids) {
        EXPECT_EQ(list->channel(id)->state, UpdateState::Updated);
        EXPECT_FALSE(list->channel(id)->running);
    }
}

TEST_F(ChannelListTest, RunningFeedIsSkippedAndShutdownAbortsIt) {
    test::LocalHttpServer::Response stall{200, kTwoItems};
    stall.stall_after = 5;
    server.route("/slow.xml", stall);
    const int id = add_row("Slow", "/slow.xml");
    auto list = make_list();
    ASSERT_TRUE(list->update_one(id));
    EXPECT_FALSE(list->update_one(id));
    EXPECT_TRUE(list->channel(id)->running);
    list->load_channels();  // a reload keeps a running feed marked as updating
    EXPECT_EQ(list->channel(id)->state, UpdateState::Updating);
    EXPECT_TRUE(list->channel(id)->running);

    const auto start = Clock::now();
    list->shutdown();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_EQ(list->channel(id)->state, UpdateState::DownloadFailed);
    EXPECT_FALSE(list->update_one(id));
}

TEST_F(ChannelListTest, ExitDeletesOnlyTheFilesThisProcessDownloaded) {
    server.route("/a.xml", {200, kTwoItems});
    const int id = add_row("A", "/a.xml");
    auto list = make_list();
    fs::create_directories(list->feeds_folder());
    test::write_file(list->feeds_folder() / "other-copy.xml", "belongs to someone else");
    list->update_one(id);
    list->wait_for_workers();
    list->update_one(id);
    list->wait_for_workers();
    const auto files = list->downloaded_files();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_NE(files[0], files[1]);

    list->shutdown();
    list->delete_downloaded_files(reporter);
    EXPECT_FALSE(fs::exists(files[0]));
    EXPECT_FALSE(fs::exists(files[1]));
    EXPECT_TRUE(fs::exists(list->feeds_folder() / "other-copy.xml"));
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(ChannelListTest, UndeletableFileIsReportedAndTheRestStillGo) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    server.route("/a.xml", {200, kTwoItems});
    const int id = add_row("A", "/a.xml");
    auto list = make_list();
    list->update_one(id);
    list->wait_for_workers();
    const auto files = list->downloaded_files();
    ASSERT_EQ(files.size(), 1u);
    ::chmod(list->feeds_folder().c_str(), 0500);
    list->delete_downloaded_files(reporter);
    ::chmod(list->feeds_folder().c_str(), 0700);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(render(reporter.messages[0]), "Cannot delete " + files[0].string() + ".");
}

TEST_F(ChannelListTest, UpdateAllOfThirtyFeedsWhileTheListIsReloaded) {
    for (int i = 0; i < 30; ++i) {
        const std::string path = "/feed" + std::to_string(i) + ".xml";
        server.route(path, {200, kTwoItems});
        add_row("Feed " + std::to_string(i), path);
    }
    auto list = make_list();
    list->update_all();
    for (int i = 0; i < 50; ++i) {
        list->load_channels();
        for (const Channel& channel : list->channels()) {
            list->listed_links(channel.id);
        }
        list->events().drain();
    }
    list->wait_for_workers();

    list->update_all();
    list->wait_for_workers();
    const auto channels = list->channels();
    ASSERT_EQ(channels.size(), 30u);
    for (const Channel& channel : channels) {
        EXPECT_EQ(channel.state, UpdateState::Updated) << channel.title;
        EXPECT_EQ(channel.items.size(), 2u) << channel.title;
    }
    list->shutdown();
    list->delete_downloaded_files(reporter);
    EXPECT_TRUE(fs::is_empty(list->feeds_folder()));
}

}  // namespace
}  // namespace tb
