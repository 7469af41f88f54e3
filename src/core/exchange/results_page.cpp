#include "exchange/results_page.h"

#include <algorithm>
#include <optional>

#include "exchange/bookmark_export.h"
#include "platform/messages.h"
#include "text/html_entities.h"
#include "text/text_file_writer.h"
#include "text/time_format.h"

namespace tb {

namespace {

std::vector<const Link*> by_title(const std::vector<Link>& results) {
    std::vector<const Link*> sorted;
    sorted.reserve(results.size());
    for (const Link& link : results) {
        sorted.push_back(&link);
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Link* a, const Link* b) { return a->title < b->title; });
    return sorted;
}

std::string page_head(const std::string& query_text) {
    return "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">"
           "<TITLE>Tagberry 2.0 Search Results</TITLE>\n"
           "<H1>Tagberry 2.0 Search Results</H1>\n\n"
           "<H2>Search term: '" +
           encode_html_entities(query_text) + "'</H2>\n\n";
}

std::string page_paragraph(const Link& link) {
    return "<p><a href=\"" + export_address(link.url) + "\" target=\"_blank\">" +
           encode_html_entities(link.title) + "</a></p>";
}

std::string page_foot(const std::string& saved_at) {
    return "<hr><p><em>Search date: " + saved_at + "</em></p>";
}

}  // namespace

std::string search_results_page_text(const std::vector<Link>& results,
                                     const std::string& query_text, const std::string& saved_at) {
    std::string page = page_head(query_text);
    for (const Link* link : by_title(results)) {
        page += page_paragraph(*link);
    }
    return page + page_foot(saved_at);
}

bool save_search_results_page_from(const std::filesystem::path& path, const PageLinks& by_title,
                                   const std::string& query_text, Reporter& reporter) {
    // Opened at the first link, so that an empty list creates no file.
    std::optional<TextFileWriter> writer;
    const bool read = by_title([&](const Link& link) {
        if (!writer) {
            writer.emplace(path);
            writer->write(page_head(query_text));
        }
        writer->write(page_paragraph(link));
    });
    if (!read) {
        return false;
    }
    if (!writer) {
        reporter.report(msg::kNothingToSave);
        return false;
    }
    if (!writer->is_open()) {
        report_unwritable(reporter, *writer, path);
        return false;
    }
    writer->write(page_foot(format_now("%H:%M:%S, %d %B %Y")));
    if (!writer->close()) {
        reporter.report(msg::kCannotOpenForWriting);
        return false;
    }
    reporter.report(msg::kSearchResultsSaved);
    return true;
}

bool save_search_results_page(const std::filesystem::path& path, const std::vector<Link>& results,
                              const std::string& query_text, Reporter& reporter) {
    const std::vector<const Link*> sorted = by_title(results);
    return save_search_results_page_from(
        path,
        [&sorted](const std::function<void(const Link&)>& visit) {
            for (const Link* link : sorted) {
                visit(*link);
            }
            return true;
        },
        query_text, reporter);
}

}  // namespace tb
