#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tb {

// A browser's bookmarks as read, before anything is written: folders hold folders and links in
// the browser's order. The browser's own id is empty when the source has none.
struct BrowserItem {
    bool is_folder = false;
    std::string title;
    std::string url;
    std::string guid;
    std::vector<BrowserItem> children;
};

// How deep a browser tree may nest; deeper files are refused whole rather than cut.
inline constexpr int kMaxBrowserDepth = 200;

// The magic numbers that tell a places database and a compressed Firefox backup.
inline constexpr std::string_view kSqliteMagic{"SQLite format 3\0", 16};
inline constexpr std::string_view kMozLz4Magic{"mozLz40\0", 8};

// The links in a tree, folders not counted.
int count_browser_links(const BrowserItem& tree);

}  // namespace tb
