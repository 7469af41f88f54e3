#include "exchange/results_page.h"

#include <algorithm>

#include "exchange/bookmark_export.h"
#include "platform/messages.h"
#include "text/html_entities.h"
#include "text/text_file_writer.h"
#include "text/time_format.h"

namespace tb {

std::string search_results_page_text(const std::vector<Link>& results,
                                     const std::string& query_text, const std::string& saved_at) {
    std::vector<const Link*> by_title;
    by_title.reserve(results.size());
    for (const Link& link : results) {
        by_title.push_back(&link);
    }
    std::stable_sort(by_title.begin(), by_title.end(),
                     [](const Link* a, const Link* b) { return a->title < b->title; });
    std::string page =
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">"
        "<TITLE>Tagberry 2.0 Search Results</TITLE>\n"
        "<H1>Tagberry 2.0 Search Results</H1>\n\n"
        "<H2>Search term: '" +
        encode_html_entities(query_text) + "'</H2>\n\n";
    for (const Link* link : by_title) {
        page += "<p><a href=\"" + export_address(link->url) + "\" target=\"_blank\">" +
                encode_html_entities(link->title) + "</a></p>";
    }
    page += "<hr><p><em>Search date: " + saved_at + "</em></p>";
    return page;
}

bool save_search_results_page(const std::filesystem::path& path, const std::vector<Link>& results,
                              const std::string& query_text, Reporter& reporter) {
    if (results.empty()) {
        reporter.report(msg::kNothingToSave);
        return false;
    }
    TextFileWriter writer(path);
    if (!writer.is_open()) {
        report_unwritable(reporter, writer, path);
        return false;
    }
    writer.write(search_results_page_text(results, query_text, format_now("%H:%M:%S, %d %B %Y")));
    if (!writer.close()) {
        reporter.report(msg::kCannotOpenForWriting);
        return false;
    }
    reporter.report(msg::kSearchResultsSaved);
    return true;
}

}  // namespace tb
