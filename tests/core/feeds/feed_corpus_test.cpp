#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "feeds/feed_parser.h"
#include "support/test_support.h"

namespace tb {
namespace {

namespace fs = std::filesystem;

const std::string kAddress = "http://fixtures.example/feeds/index.xml";

// Well-formed RSS, RDF and Atom documents that hold an item or entry must give items.
bool must_yield_items(const fs::path& corpus, const fs::path& file) {
    const std::string relative = fs::relative(file, corpus).generic_string();
    const bool atom = relative.rfind("feedparser/wellformed/atom", 0) == 0;
    const bool well_formed_feed = relative.rfind("feedparser/wellformed/rss/", 0) == 0 ||
                                  relative.rfind("feedparser/wellformed/rdf/", 0) == 0 ||
                                  relative.rfind("newsboat/", 0) == 0 || atom;
    const std::string text = test::read_file(file);
    return well_formed_feed && text.find(atom ? "<entry" : "<item") != std::string::npos;
}

// A stored link is one absolute address with no white space in it.
void expect_sound_link(const std::string& link) {
    if (link.empty()) {
        return;
    }
    EXPECT_EQ(link.find_first_of(" \t\r\n"), std::string::npos) << link;
    const auto scheme = link.find(':');
    ASSERT_NE(scheme, std::string::npos) << link;
    EXPECT_EQ(link.find("http://", scheme), std::string::npos) << link;
    EXPECT_EQ(link.find("https://", scheme), std::string::npos) << link;
}

TEST(FeedCorpusTest, EveryRealWorldDocumentParsesOrFailsCleanly) {
    TB_SHARED_FIXTURE_OR_SKIP(corpus, "feeds");
    ASSERT_TRUE(fs::is_directory(corpus)) << corpus;
    XercesRuntime xml;
    RecordingReporter init_reporter;
    ASSERT_TRUE(xml.initialize(init_reporter));
    int files = 0;
    int with_items = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        ++files;
        SCOPED_TRACE(entry.path().string());
        RecordingReporter reporter;
        const auto start = std::chrono::steady_clock::now();
        const ParsedFeed feed = parse_feed_document(entry.path(), "corpus", reporter, kAddress);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        if (!feed.ok) {
            // A failure always says why and gives no items.
            EXPECT_TRUE(feed.items.empty());
            EXPECT_FALSE(render(feed.failure).empty());
        }
        for (size_t i = 0; i < feed.items.size(); ++i) {
            EXPECT_EQ(feed.items[i].number, static_cast<int>(i));
            expect_sound_link(feed.items[i].link);
        }
        if (must_yield_items(corpus, entry.path())) {
            ++with_items;
            EXPECT_FALSE(feed.items.empty()) << "no items";
        }
    }
    EXPECT_GT(files, 100);
    EXPECT_GT(with_items, 10);
}

}  // namespace
}  // namespace tb
