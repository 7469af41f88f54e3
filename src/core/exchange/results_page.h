#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model/link_store.h"
#include "platform/reporter.h"

namespace tb {

// The search-results page: the search term and one paragraph per link, by title, then the time
// of saving. Titles and the term are entity-encoded, so stored text cannot add markup to the page.
std::string search_results_page_text(const std::vector<Link>& results,
                                     const std::string& query_text, const std::string& saved_at);

// Writes the page for the current results; reports 135 for an empty list (no file is created),
// 160 when the file cannot be written, 162 when done.
bool save_search_results_page(const std::filesystem::path& path, const std::vector<Link>& results,
                              const std::string& query_text, Reporter& reporter);

}  // namespace tb
