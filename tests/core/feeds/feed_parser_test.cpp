#include "feeds/feed_parser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

using namespace std::string_literals;

#include "support/test_support.h"

namespace tb {
namespace {

// The time limit is set for the plain build; under AddressSanitizer the parse runs several times
// slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kSlowdown = 4;
#else
constexpr int kSlowdown = 1;
#endif

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
    // A description is HTML: it reads as its plain text.
    EXPECT_EQ(feed.items[0].description, "Planted six rows.");
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
    // The Dublin Core title is another namespace's and stays out of the item's title; a tab in a
    // title becomes a space.
    EXPECT_EQ(feed.items[0].title, "First item");
    EXPECT_EQ(feed.items[0].link, "http://edge.example/1");
    // Text inside and after the nested element is not collected.
    EXPECT_EQ(feed.items[0].description, "one");
    // Decoded once by the XML parser and once by the HTML decoder; image and textinput titles
    // after the last item are the channel's.
    EXPECT_EQ(feed.items[1].title, "Caf\xC3\xA9 <b> & bar");
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
    EXPECT_EQ(render(reporter.messages.back()), render(feed.failure));
    EXPECT_NE(render(feed.failure).find("absent.xml"), std::string::npos);
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

TEST_F(FeedParserTest, EntityBombEndsQuicklyAtTheTextLimit) {
    const auto start = std::chrono::steady_clock::now();
    const auto feed = parse(test::data_path("feeds/bomb.xml"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(feed.ok);
    EXPECT_TRUE(feed.items.empty());
    EXPECT_EQ(render(feed.failure), "a field holds more than 1 MB of text");
    EXPECT_TRUE(reporter.messages.empty()) << testing::PrintToString(texts());
}

class FeedRulesTest : public FeedParserTest {
protected:
    ParsedFeed parse_text(const std::string& document,
                          const std::string& address = "http://news.example/feeds/main.xml") {
        test::write_file(dir / "feed.xml", document);
        return parse_feed_document(dir / "feed.xml", "Test feed", reporter, address);
    }

    std::vector<std::string> links(const ParsedFeed& feed) const {
        std::vector<std::string> out;
        for (const FeedItem& item : feed.items) {
            out.push_back(item.link);
        }
        return out;
    }
};

TEST_F(FeedRulesTest, LinksAndTitlesLoseXmlWhitespaceAndResolveAgainstTheirBase) {
    const auto feed = parse_text(
        "<rss version=\"2.0\"><channel><title>\n  Main\n</title>\n"
        "<item><title>\n\t  Indented \r\n</title><link>\n   http://a.example/1\n   </link></item>\n"
        "<item><link>/top/2</link></item>\n"
        "<item xml:base=\"http://b.example/dir/\"><link>3.html</link></item>\n"
        "<item xml:base=\"javascript:alert(1)\"><link>4.html</link></item>\n"
        "<item xml:base=\"sub/\"><link xml:base=\"../other/\">5?q=1</link></item>\n"
        "</channel></rss>");
    ASSERT_TRUE(feed.ok) << testing::PrintToString(texts());
    EXPECT_EQ(feed.title, "Main");
    ASSERT_EQ(feed.items.size(), 5u);
    EXPECT_EQ(feed.items[0].title, "Indented");
    EXPECT_EQ(links(feed),
              (std::vector<std::string>{
                  "http://a.example/1", "http://news.example/top/2", "http://b.example/dir/3.html",
                  "http://news.example/feeds/4.html", "http://news.example/feeds/other/5?q=1"}));
    // Without an address a relative link stays as written.
    EXPECT_EQ(
        links(parse_text("<rss><channel><item><link> a/b </link></item></channel></rss>", "")),
        std::vector<std::string>{"a/b"});
}

// Line breaks, and control characters escaped twice in an RSS title, never reach a stored title
// or address.
TEST_F(FeedRulesTest, TitlesAndLinksLoseControlCharacters) {
    const auto feed = parse_text(
        "<rss version=\"2.0\"><channel><title>Site&#xA;name</title>"
        "<item><title>Two&#xA;lines&#x9;and&amp;#x1B;[2J escapes&amp;#7;</title>"
        "<link>http://a.example/x&#xD;&#xA;y</link></item>"
        "</channel></rss>");
    ASSERT_TRUE(feed.ok) << testing::PrintToString(texts());
    EXPECT_EQ(feed.title, "Site name");
    ASSERT_EQ(feed.items.size(), 1u);
    EXPECT_EQ(feed.items[0].title, "Two lines and[2J escapes");
    EXPECT_EQ(feed.items[0].link, "http://a.example/xy");
}

TEST_F(FeedRulesTest, ChannelPartsAndOtherNamespacesNeverAddToAnItem) {
    const auto feed = parse_text(
        "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
        "xmlns=\"http://purl.org/rss/1.0/\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
        "xmlns:content=\"http://purl.org/rss/1.0/modules/content/\">"
        "<channel><title>Site</title><link>http://site.example/</link></channel>"
        "<item><title>One</title><dc:title>One again</dc:title><link>http://site.example/1</link>"
        "<description>Short</description><content:encoded>&lt;p&gt;Long&lt;/p&gt;</content:encoded>"
        "</item>"
        "<image><title>Logo</title><link>http://site.example/</link></image>"
        "<textinput><title>Search</title><description>Find</description>"
        "<link>http://site.example/search</link></textinput>"
        "<textInput><title>Search2</title></textInput>"
        "</rdf:RDF>");
    ASSERT_TRUE(feed.ok);
    EXPECT_EQ(feed.title, "Site");
    ASSERT_EQ(feed.items.size(), 1u);
    EXPECT_EQ(feed.items[0], (FeedItem{0, "One", "Short", "http://site.example/1"}));
}

TEST_F(FeedRulesTest, HtmlEntitiesAreKnownWithOrWithoutADoctype) {
    const std::string item =
        "<item><title>A&nbsp;caf&eacute;&hellip; it&rsquo;s&mdash;ok</title></item>";
    const std::string expected =
        "A\xC2\xA0"
        "caf\xC3\xA9\xE2\x80\xA6 it\xE2\x80\x99s\xE2\x80\x94ok";
    const std::string documents[] = {
        "<rss><channel>" + item + "</channel></rss>",
        "<?xml version=\"1.0\"?>\n<!-- c -->\n<!DOCTYPE rss PUBLIC \"-//Netscape "
        "Communications//DTD "
        "RSS 0.91//EN\" \"http://my.netscape.com/publish/formats/rss-0.91.dtd\">\n<rss><channel>" +
            item + "</channel></rss>",
        "<!DOCTYPE rss [<!ENTITY own \"]>\"><!-- ] -->]><rss><channel>" + item +
            "<item><title>&own;</title></item></channel></rss>",
    };
    for (const std::string& document : documents) {
        reporter.clear();
        const auto feed = parse_text(document);
        ASSERT_TRUE(feed.ok) << document << testing::PrintToString(texts());
        EXPECT_EQ(feed.items[0].title, expected) << document;
        EXPECT_TRUE(reporter.messages.empty()) << testing::PrintToString(texts());
    }
    EXPECT_EQ(parse_text(documents[2]).items[1].title, "]>");

    // UTF-16 documents get the declarations in their own encoding.
    std::string utf16 = "\xFF\xFE";
    for (char c : "<rss><channel><item><title>x&nbsp;y</title></item></channel></rss>"s) {
        utf16 += std::string{c, '\0'};
    }
    const auto wide = parse_text(utf16);
    ASSERT_TRUE(wide.ok) << testing::PrintToString(texts());
    EXPECT_EQ(wide.items[0].title, "x\xC2\xA0y");

    const auto unknown =
        parse_text("<rss><channel><item><title>&bogus;</title></item></channel></rss>");
    EXPECT_FALSE(unknown.ok);
    EXPECT_NE(render(unknown.failure).find("bogus"), std::string::npos) << render(unknown.failure);
}

TEST_F(FeedRulesTest, ManyEntityReferencesPassButTextIsBounded) {
    std::string many = "<rss><channel>";
    for (int i = 0; i < 400; ++i) {
        many += "<item><title>a&nbsp;b&nbsp;c&nbsp;" + std::to_string(i) + "</title></item>";
    }
    const auto ordinary = parse_text(many + "</channel></rss>");
    ASSERT_TRUE(ordinary.ok) << testing::PrintToString(texts());
    EXPECT_EQ(ordinary.items.size(), 400u);

    const std::string big(600 * 1024, 'x');
    std::string flood = "<!DOCTYPE rss [<!ENTITY big \"" + big + "\">]><rss><channel>";
    for (int i = 0; i < 999; ++i) {
        flood += "<item><description>&big;</description></item>";
    }
    const auto start = std::chrono::steady_clock::now();
    const auto bounded = parse_text(flood + "</channel></rss>");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3 * kSlowdown));
    EXPECT_FALSE(bounded.ok);
    EXPECT_EQ(render(bounded.failure), "the document holds more than 16 MB of text");
}

TEST_F(FeedRulesTest, DocumentsThatAreNoFeedSayWhatTheyAre) {
    const auto page = parse_text("<html><head><title>Home</title></head><body/></html>");
    EXPECT_FALSE(page.ok);
    EXPECT_EQ(render(page.failure), "not a feed (HTML page)");
    const auto other = parse_text("<catalog><item><title>x</title></item></catalog>");
    EXPECT_FALSE(other.ok);
    EXPECT_EQ(render(other.failure), "not a feed (the document's root element is <catalog>)");
    EXPECT_TRUE(reporter.messages.empty()) << testing::PrintToString(texts());
    const auto broken = parse_text("<rss>\n<channel>\n</rss>");
    EXPECT_EQ(render(broken.failure).rfind("XML error at line 3: ", 0), 0u)
        << render(broken.failure);

    const auto empty =
        parse_text("<rss version=\"2.0\"><channel><title>Quiet</title></channel></rss>");
    EXPECT_TRUE(empty.ok);
    EXPECT_TRUE(empty.items.empty());
}

TEST_F(FeedRulesTest, Atom10EntriesGiveTitleLinkAndText) {
    const auto feed = parse_text(
        "<feed xmlns=\"http://www.w3.org/2005/Atom\" xml:base=\"http://blog.example/posts/\">"
        "<title type=\"text\">Blog</title><link href=\"http://blog.example/\"/>"
        "<entry><title type=\"html\">Fish &amp;lt;b&amp;gt;&amp;amp; chips</title>"
        "<link rel=\"self\" href=\"/self/1\"/><link rel=\"enclosure\" href=\"a.mp3\"/>"
        "<link type=\"application/pdf\" href=\"1.pdf\"/><link rel=\"alternate\" "
        "type=\"text/html\" href=\"1.html\"/><link href=\"1.txt\"/>"
        "<summary type=\"html\">&lt;p&gt;Fried   &lt;em&gt;well&lt;/em&gt;&lt;/p&gt;</summary>"
        "<content>ignored</content><updated>2024-01-02T03:04:05Z</updated></entry>"
        "<entry xml:base=\"/other/\"><title type=\"xhtml\"><div "
        "xmlns=\"http://www.w3.org/1999/xhtml\">Bold <b>move</b></div></title>"
        "<link href=\"2\"/><content type=\"xhtml\"><div xmlns=\"http://www.w3.org/1999/xhtml\">"
        "<p>Only</p> <p>content</p></div></content></entry>"
        "<entry><title>Plain &lt;tag&gt;</title></entry>"
        "</feed>",
        "http://feeds.example/atom");
    ASSERT_TRUE(feed.ok) << testing::PrintToString(texts());
    EXPECT_EQ(feed.title, "Blog");
    ASSERT_EQ(feed.items.size(), 3u);
    EXPECT_EQ(feed.items[0],
              (FeedItem{0, "Fish <b>& chips", "Fried well", "http://blog.example/posts/1.html"}));
    EXPECT_EQ(feed.items[1],
              (FeedItem{1, "Bold move", "Only content", "http://blog.example/other/2"}));
    EXPECT_EQ(feed.items[2], (FeedItem{2, "Plain <tag>", "", ""}));
}

TEST_F(FeedRulesTest, Atom03EntriesUseModeAndType) {
    const auto feed = parse_text(
        "<feed version=\"0.3\" xmlns=\"http://purl.org/atom/ns#\"><title>Old</title>"
        "<entry><title mode=\"escaped\" type=\"text/html\">A &amp;amp; B</title>"
        "<link rel=\"alternate\" type=\"text/html\" href=\"/e/1\"/>"
        "<summary type=\"application/xhtml+xml\"><div xmlns=\"http://www.w3.org/1999/xhtml\">"
        "Hi <i>there</i></div></summary><issued>2003-12-13T08:29:29-04:00</issued></entry>"
        "</feed>",
        "https://old.example/atom.xml");
    ASSERT_TRUE(feed.ok) << testing::PrintToString(texts());
    EXPECT_EQ(feed.title, "Old");
    ASSERT_EQ(feed.items.size(), 1u);
    EXPECT_EQ(feed.items[0], (FeedItem{0, "A & B", "Hi there", "https://old.example/e/1"}));
}
}  // namespace
}  // namespace tb
