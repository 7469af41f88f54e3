#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "model/link_store.h"
#include "platform/reporter.h"

namespace tb {

// The search-results page: the search term and one paragraph per link, by title, then the time
// of saving. Titles and the term are entity-encoded, so stored text cannot add markup to the page.
std::string search_results_page_text(const std::vector<Link>& results,
                                     const std::string& query_text, const std::string& saved_at);

// Hands each link of the page to the visit, in the page's order; false when the read failed.
using PageLinks = std::function<bool(const std::function<void(const Link&)>& visit)>;

// Writes the page for the current results as they are read, so that a long list is never held
// whole; reports 135 for an empty list (no file is created), 160 when the file cannot be
// written, 162 when done. A failed read leaves any earlier file in place.
bool save_search_results_page_from(const std::filesystem::path& path, const PageLinks& by_title,
                                   const std::string& query_text, Reporter& reporter);
// The same for results held in memory, in any order.
bool save_search_results_page(const std::filesystem::path& path, const std::vector<Link>& results,
                              const std::string& query_text, Reporter& reporter);

}  // namespace tb
