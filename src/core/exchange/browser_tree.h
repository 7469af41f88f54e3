#pragma once

#include <cstddef>
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

// The magic numbers that tell a places database and a compressed Firefox backup.
inline constexpr std::string_view kSqliteMagic{"SQLite format 3\0", 16};
inline constexpr std::string_view kMozLz4Magic{"mozLz40\0", 8};

// The links in a tree, folders not counted.
int count_browser_links(const BrowserItem& tree);

// Puts a tree together from its items in document order, so that a reader walks its source
// without recursion, and keeps it within kMaxFolderDepth: a folder that would lie deeper goes
// beside the folder at the limit, with its own links.
class BrowserTreeBuilder {
public:
    // `top` lies `depth` levels below the tree's top.
    BrowserTreeBuilder(BrowserItem top, int depth);

    // A link or an empty folder into the folder open innermost.
    void add(BrowserItem item);
    // A folder whose items follow, up to its close_folder().
    void open_folder(BrowserItem folder);
    void close_folder();
    // The top folder with everything in it; open folders are closed.
    BrowserItem finish();

private:
    // The index in open_ of the folder that takes the one at `index` when it is closed.
    std::size_t container_of(std::size_t index) const;

    std::vector<BrowserItem> open_;
    int top_depth_;
};

}  // namespace tb
