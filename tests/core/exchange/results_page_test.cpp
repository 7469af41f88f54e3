#include "exchange/results_page.h"

#include <gtest/gtest.h>

#include <regex>

#include "platform/messages.h"
#include "support/test_support.h"

namespace tb {
namespace {

std::vector<Link> sample() {
    Link beta;
    beta.id = 1;
    beta.title = "beta";
    // An old database may hold a line break inside an address.
    beta.url = "http://b.example/\r\n";
    Link alpha;
    alpha.id = 2;
    alpha.title = "Alpha <script>";
    alpha.url = "http://a.example/?q=\"1\"&x=<y>";
    return {beta, alpha};
}

TEST(ResultsPageTest, PageFormatSortsByTitleAndEncodes) {
    EXPECT_EQ(search_results_page_text(sample(), "cheap AND <i>&", "14:05:09, 07 March 2005"),
              "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">"
              "<TITLE>Tagberry 2.0 Search Results</TITLE>\n"
              "<H1>Tagberry 2.0 Search Results</H1>\n\n"
              "<H2>Search term: 'cheap AND &lt;i&gt;&amp;'</H2>\n\n"
              "<p><a href=\"http://a.example/?q=%221%22&x=<y>\" target=\"_blank\">Alpha "
              "&lt;script&gt;</a></p>"
              "<p><a href=\"http://b.example/\" target=\"_blank\">beta</a></p>"
              "<hr><p><em>Search date: 14:05:09, 07 March 2005</em></p>");
}

TEST(ResultsPageTest, SavingWritesBomAndReports) {
    test::TempDir dir;
    RecordingReporter reporter;
    const auto path = dir / "results.html";
    ASSERT_TRUE(save_search_results_page(path, sample(), "a", reporter));
    const std::string bytes = test::read_file(path);
    EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF<META HTTP-EQUIV=", 0), 0u);
    // The page ends with the local time of saving in its fixed format.
    EXPECT_TRUE(std::regex_search(
        bytes, std::regex("</a></p><hr><p><em>Search date: \\d\\d:\\d\\d:\\d\\d, \\d\\d "
                          "[A-Za-z]+ \\d{4}</em></p>$")));
    EXPECT_EQ(reporter.messages, std::vector<Message>{Message::of(msg::kSearchResultsSaved)});

    reporter.clear();
    EXPECT_FALSE(save_search_results_page(dir / "empty.html", {}, "a", reporter));
    EXPECT_EQ(reporter.messages, std::vector<Message>{Message::of(msg::kNothingToSave)});
    EXPECT_FALSE(std::filesystem::exists(dir / "empty.html"));

    reporter.clear();
    EXPECT_FALSE(save_search_results_page(dir / "no" / "r.html", sample(), "a", reporter));
    EXPECT_EQ(reporter.messages, std::vector<Message>{Message::of(msg::kCannotOpenForWriting)});
}

}  // namespace
}  // namespace tb
