#include "feeds/opml.h"

#include <gtest/gtest.h>

#include "feeds/channel_list.h"
#include "support/test_support.h"

namespace tb {
namespace {

namespace fs = std::filesystem;

class OpmlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(xml.initialize(reporter));
        ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    }

    RecordingReporter reporter;
    XercesRuntime xml;
    test::TempDir dir;
    Database db{reporter};
};

TEST_F(OpmlTest, NestedCategoriesAreReadAndKnownFeedsSkipped) {
    test::write_file(
        dir / "subs.opml",
        "<?xml version=\"1.0\"?><opml version=\"2.0\"><head><title>x</title></head>"
        "<body><outline text=\"News\"><outline text=\"World\">"
        "<outline type=\"rss\" text=\"Daily &amp; more\" xmlUrl=\" http://a.example/rss \"/>"
        "</outline><outline type=\"rss\" title=\"B title\" text=\"B\" "
        "xmlUrl=\"http://b.example/atom\"/></outline>"
        "<outline type=\"rss\" xmlUrl=\"http://c.example/feed\"/>"
        "<outline type=\"rss\" text=\"A again\" xmlUrl=\"http://a.example/rss\"/>"
        "<outline text=\"no feed\" htmlUrl=\"http://d.example/\"/></body></opml>");
    const OpmlList list = read_opml(dir / "subs.opml");
    ASSERT_TRUE(list.ok) << render(list.failure);
    EXPECT_EQ(list.feeds, (std::vector<OpmlFeed>{{"Daily & more", "http://a.example/rss"},
                                                 {"B title", "http://b.example/atom"},
                                                 {"http://c.example/feed", "http://c.example/feed"},
                                                 {"A again", "http://a.example/rss"}}));

    ChannelList channels(db, xml, dir / "feeds");
    channels.load_channels();
    ASSERT_TRUE(channels.add_channel("Old C", "http://c.example/feed"));
    channels.shutdown();
    const auto count = channels.import_channels(list.feeds);
    EXPECT_EQ(count.added, 2);
    EXPECT_EQ(count.skipped, 2);
    EXPECT_EQ(channels.subscriptions(),
              (std::vector<OpmlFeed>{{"Old C", "http://c.example/feed"},
                                     {"Daily & more", "http://a.example/rss"},
                                     {"B title", "http://b.example/atom"}}));

    // Export and import again: the same list, with every character of the titles.
    const std::vector<OpmlFeed> odd{
        {"Quotes \" <tags> & \xC2\xAB"
         "angles\xC2\xBB",
         "http://q.example/?a=1&b=2"}};
    ASSERT_TRUE(write_opml(dir / "out.opml", odd));
    const OpmlList again = read_opml(dir / "out.opml");
    ASSERT_TRUE(again.ok) << render(again.failure);
    EXPECT_EQ(again.feeds, odd);
    EXPECT_NE(test::read_file(dir / "out.opml").find("<outline type=\"rss\" text="),
              std::string::npos);
}

TEST_F(OpmlTest, OtherDocumentsAndHostileListsAreRefused) {
    test::write_file(dir / "feed.xml", "<rss><channel/></rss>");
    EXPECT_EQ(render(read_opml(dir / "feed.xml").failure),
              "not a subscription list (the root element is <rss>)");
    test::write_file(dir / "broken.opml", "<opml><body><outline xmlUrl=\"x\"></body>");
    EXPECT_EQ(render(read_opml(dir / "broken.opml").failure).rfind("XML error at line 1", 0), 0u);
    test::write_file(dir / "secret.txt", "SECRET");
    test::write_file(dir / "xxe.opml",
                     "<!DOCTYPE opml [<!ENTITY x SYSTEM \"file://" + (dir / "secret.txt").string() +
                         "\">]><opml><body><outline text=\"a&x;\" xmlUrl=\"http://x.example/\"/>"
                         "</body></opml>");
    const OpmlList xxe = read_opml(dir / "xxe.opml");
    for (const OpmlFeed& feed : xxe.feeds) {
        EXPECT_EQ(feed.title.find("SECRET"), std::string::npos);
    }
    EXPECT_FALSE(read_opml(dir / "absent.opml").ok);
}

TEST_F(OpmlTest, RealSubscriptionListsGiveTheirFeeds) {
    TB_SHARED_FIXTURE_OR_SKIP(folder, "feeds/opml");
    int feeds = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            const OpmlList list = read_opml(entry.path());
            for (const OpmlFeed& feed : list.feeds) {
                EXPECT_FALSE(feed.title.empty());
                EXPECT_EQ(feed.location.find_first_of(" \t\r\n"), std::string::npos);
            }
            feeds += static_cast<int>(list.feeds.size());
        }
    }
    EXPECT_GT(feeds, 3);
}

}  // namespace
}  // namespace tb
