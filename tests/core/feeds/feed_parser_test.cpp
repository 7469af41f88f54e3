#include "feeds/feed_parser.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/test_support.h"

namespace tb {
namespace {

class FeedParserTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(xml.initialize(reporter)); }

    ParsedFeed parse(const std::filesystem::path& file) {
        return parse_feed_document(file, "Test feed", reporter);
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const Message& message : reporter.messages) {
            out.push_back(render(message));
        }
        return out;
    }

    XercesRuntime xml;
    RecordingReporter reporter;
    test::TempDir dir;
};

TEST_F(FeedParserTest, Rss091WithPublicDoctypeParsesWithoutFetchingTheDtd) {
    const auto feed = parse(test::data_path("feeds/rss091.xml"));
    ASSERT_TRUE(feed.ok);
    ASSERT_EQ(feed.items.size(), 2u);
    EXPECT_EQ(feed.items[0], (FeedItem{0, "Tide tables for M\xC3\xA9nez", "Spring tides this week.",
                                       "http://harbour.example/tides"}));
    EXPECT_EQ(feed.items[1], (FeedItem{1, "Ferry timetable", "Winter timetable starts Monday.",
                                       "http://harbour.example/ferry"}));
    EXPECT_TRUE(reporter.messages.empty()) << testing::PrintToString(texts());
}

TEST_F(FeedParserTest, Rss20ItemsSkipChannelFieldsAndDecodeText) {
    const auto feed = parse(test::data_path("feeds/rss20.xml"));
    ASSERT_TRUE(feed.ok);
    ASSERT_EQ(feed.items.size(), 3u);
    EXPECT_EQ(feed.items[0].title, "Tomatoes & basil");
    EXPECT_EQ(feed.items[0].link, "https://garden.example/posts/1?a=1&b=2");
    // CDATA markup reaches the HTML decoder and stays markup.
    EXPECT_EQ(feed.items[0].description, "<p>Planted <b>six</b> rows.</p>");
    EXPECT_EQ(feed.items[1].title,
              "\xD0\x95\xD1\x89\xD1\x91 \xD0\xB3\xD1\x80\xD1\x8F\xD0\xB4\xD0\xBA\xD0\xB0");
    EXPECT_EQ(feed.items[2].number, 2);
    EXPECT_EQ(feed.items[2].description, "Cover the seedlings tonight.");
}

TEST_F(FeedParserTest, RdfItemsAreSiblingsOfTheChannel) {
    const auto feed = parse(test::data_path("feeds/rdf.xml"));
    ASSERT_TRUE(feed.ok);
    ASSERT_EQ(feed.items.size(), 2u);
    EXPECT_EQ(feed.items[0], (FeedItem{0, "Morning reading", "12 degrees, light wind.",
                                       "http://station.example/r/1"}));
    EXPECT_EQ(feed.items[1], (FeedItem{1, "Noon reading", "", "http://station.example/r/2"}));
}

TEST_F(FeedParserTest, HandlerRulesOnEdgeCases) {
    const auto feed = parse(test::data_path("feeds/edge_cases.xml"));
    ASSERT_TRUE(feed.ok);
    ASSERT_EQ(feed.items.size(), 2u);
    // Only spaces are trimmed; the tab stays, and the Dublin Core title is appended.
    EXPECT_EQ(feed.items[0].title, "First\titem  plus dc");
    EXPECT_EQ(feed.items[0].link, "http://edge.example/1");
    // Text inside and after the nested element is not collected.
    EXPECT_EQ(feed.items[0].description, "one");
    // Decoded once by the XML parser and once by the HTML decoder; image and textinput titles
    // after the last item land in its title.
    EXPECT_EQ(feed.items[1].title, "Caf\xC3\xA9 <b> & barLogoSearch");
    EXPECT_EQ(feed.items[1].description, "line one\nline two");
}

TEST_F(FeedParserTest, EmptyAndNonXmlFilesReportFatalErrorThenSkip) {
    for (const char* name : {"feeds/empty.xml", "feeds/not_xml.txt"}) {
        reporter.clear();
        const auto path = test::data_path(name);
        const auto feed = parse(path);
        EXPECT_FALSE(feed.ok) << name;
        EXPECT_TRUE(feed.items.empty()) << name;
        ASSERT_EQ(reporter.messages.size(), 2u) << testing::PrintToString(texts());
        EXPECT_EQ(render(reporter.messages[0])
                      .rfind("XML parser reports fatal error in the file:\n'" + path.string() +
                                 "'\nat line ",
                             0),
                  0u)
            << render(reporter.messages[0]);
        EXPECT_EQ(render(reporter.messages[1]),
                  "Newsfeed 'Test feed': some error occured when parsing XML file. Skipping...");
    }
}

TEST_F(FeedParserTest, WellFormednessErrorDiscardsItemsGatheredBefore) {
    test::write_file(dir / "broken.xml",
                     "<rss><channel><item><title>kept?</title></item><item><title>x</channel>");
    const auto feed = parse(dir / "broken.xml");
    EXPECT_TRUE(feed.items.empty());
    ASSERT_EQ(reporter.messages.size(), 2u);
    EXPECT_NE(render(reporter.messages[0]).find("at line 1, column "), std::string::npos);
}

TEST_F(FeedParserTest, MissingFileFailsCleanly) {
    const auto feed = parse(dir / "absent.xml");
    EXPECT_FALSE(feed.ok);
    ASSERT_FALSE(reporter.messages.empty());
    EXPECT_EQ(render(reporter.messages.back()),
              "Newsfeed 'Test feed': some error occured when parsing XML file. Skipping...");
}

TEST_F(FeedParserTest, ExternalEntityCannotPullInALocalFile) {
    test::write_file(dir / "secret.txt", "TOP-SECRET-CONTENT");
    const std::string uri = "file://" + (dir / "secret.txt").string();
    test::write_file(dir / "xxe.xml",
                     "<?xml version=\"1.0\"?>\n<!DOCTYPE rss [\n<!ENTITY xxe SYSTEM \"" + uri +
                         "\">\n<!ENTITY % pe SYSTEM \"" + uri +
                         "\">\n%pe;\n]>\n<rss><channel><item><title>a&xxe;b</title>"
                         "<description>&xxe;</description><link>" +
                         uri + "</link></item></channel></rss>");
    const auto feed = parse(dir / "xxe.xml");
    for (const FeedItem& item : feed.items) {
        EXPECT_EQ(item.title.find("TOP-SECRET"), std::string::npos);
        EXPECT_EQ(item.description.find("TOP-SECRET"), std::string::npos);
    }
    for (const std::string& text : texts()) {
        EXPECT_EQ(text.find("TOP-SECRET"), std::string::npos);
    }
    ASSERT_EQ(feed.items.size(), 1u);
    EXPECT_EQ(feed.items[0].title, "ab");
}

TEST_F(FeedParserTest, EntityBombEndsQuicklyWithFatalError) {
    const auto start = std::chrono::steady_clock::now();
    const auto feed = parse(test::data_path("feeds/bomb.xml"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(feed.ok);
    EXPECT_TRUE(feed.items.empty());
    ASSERT_EQ(reporter.messages.size(), 2u) << testing::PrintToString(texts());
    EXPECT_EQ(render(reporter.messages[0]).rfind("XML parser reports fatal error", 0), 0u);
}

}  // namespace
}  // namespace tb
