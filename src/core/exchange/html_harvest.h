#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/import_context.h"

namespace tb {

struct HarvestedLink {
    std::string title;
    std::string address;
};

// The page's bytes as UTF-8: as they are when valid, else in the charset the page declares
// when ICU knows it, else as Windows-1252. Line ends are dropped.
std::string html_page_text(std::string_view bytes);

// The absolute web links of a page's text, titled with their anchor texts (tags removed).
// Repeated titles are kept: the caller decides.
std::vector<HarvestedLink> harvest_links(std::string_view text);

// Stores the page's links in a new folder titled `title` under `parent`, or, with no parent
// (kNothingSelected), in the import's top folder under the root. A page that cannot be read
// creates nothing: message 176 for a single page, a log line inside a directory walk.
bool harvest_html_links(ImportContext& context, const std::filesystem::path& file,
                        const std::string& title, RowId parent);

}  // namespace tb
