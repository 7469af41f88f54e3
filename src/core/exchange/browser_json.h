#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "exchange/browser_tree.h"
#include "platform/reporter.h"

namespace tb {

// The bookmark JSON files of the two browser families, parsed from bytes in memory. Each returns
// a folder whose children are the browser's named roots, or std::nullopt after reporting, naming
// `name`, why the text was refused: not JSON, or a value of an unexpected type (given by its JSON
// pointer). Folders below kMaxFolderDepth levels of the tree come beside the folder at that
// level, each with its own links.

// A Firefox-family backup: the Library's plain .json backup, or the text of a .jsonlz4 one. The
// menu, toolbar, unfiled and mobile roots become "Bookmarks Menu", "Bookmarks Toolbar", "Other
// Bookmarks" and "Mobile Bookmarks"; the tags root, separators and place: queries are left out.
std::optional<BrowserItem> parse_firefox_backup(std::string_view json, const std::string& name,
                                                Reporter& reporter);

// A Chromium-family "Bookmarks" file: the roots bookmark_bar, other and synced become "Bookmarks
// bar", "Other bookmarks" and "Mobile bookmarks". Only "name" and "url" are needed.
std::optional<BrowserItem> parse_chromium_bookmarks(std::string_view json, const std::string& name,
                                                    Reporter& reporter);

// Either of the two, told apart by content: a "roots" object makes it a Chromium file.
std::optional<BrowserItem> parse_browser_json(std::string_view json, const std::string& name,
                                              Reporter& reporter);

}  // namespace tb
