#pragma once

#include <filesystem>
#include <optional>

#include "exchange/browser_tree.h"
#include "platform/reporter.h"

namespace tb {

// The bookmarks of a Firefox-family places database. The file is copied with its -wal and
// -journal companions to a temporary folder and the copy is opened, so a running browser is
// neither blocked nor disturbed and every committed change is seen. The schema is recognised by
// its tables and columns; the roots get the names parse_firefox_backup gives them, and tags,
// separators and place: queries are left out. A locked, damaged or unknown database is reported
// and gives std::nullopt; the copy is always removed.
std::optional<BrowserItem> read_places_database(const std::filesystem::path& file,
                                                Reporter& reporter);

}  // namespace tb
