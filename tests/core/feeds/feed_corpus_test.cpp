#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "feeds/feed_parser.h"
#include "support/test_support.h"

namespace tb {
namespace {

namespace fs = std::filesystem;

// Well-formed RSS and RDF documents that hold an item must give items.
bool must_yield_items(const fs::path& corpus, const fs::path& file) {
    const std::string relative = fs::relative(file, corpus).generic_string();
    const bool well_formed_feed = relative.rfind("feedparser/wellformed/rss/", 0) == 0 ||
                                  relative.rfind("feedparser/wellformed/rdf/", 0) == 0 ||
                                  relative.rfind("newsboat/", 0) == 0;
    return well_formed_feed && test::read_file(file).find("<item") != std::string::npos;
}

TEST(FeedCorpusTest, EveryRealWorldDocumentParsesOrFailsCleanly) {
    const fs::path corpus = test::shared_fixture("feeds");
    if (corpus.empty() || !fs::is_directory(corpus)) {
        GTEST_SKIP() << "shared feed fixtures are absent (../shared/fixtures/feeds)";
    }
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
        const ParsedFeed feed = parse_feed_document(entry.path(), "corpus", reporter);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        if (!feed.ok) {
            // A failure always ends with the parser's own message and no items.
            EXPECT_TRUE(feed.items.empty());
            ASSERT_FALSE(reporter.messages.empty());
            EXPECT_EQ(render(reporter.messages.back()),
                      "Newsfeed 'corpus': some error occured when parsing XML file. Skipping...");
        }
        for (size_t i = 0; i < feed.items.size(); ++i) {
            EXPECT_EQ(feed.items[i].number, static_cast<int>(i));
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
