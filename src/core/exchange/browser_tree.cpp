#include "exchange/browser_tree.h"

#include <algorithm>
#include <utility>

#include "exchange/folder_depth.h"

namespace tb {

int count_browser_links(const BrowserItem& tree) {
    int count = 0;
    for (const BrowserItem& child : tree.children) {
        count += child.is_folder ? count_browser_links(child) : 1;
    }
    return count;
}

BrowserTreeBuilder::BrowserTreeBuilder(BrowserItem top, int depth) : top_depth_(depth) {
    open_.push_back(std::move(top));
}

std::size_t BrowserTreeBuilder::container_of(std::size_t index) const {
    // The folder at index k lies top_depth_ + k levels down until the limit stops it there.
    const std::size_t above_limit =
        static_cast<std::size_t>(std::max(0, kMaxFolderDepth - 1 - top_depth_));
    return std::min(index - 1, above_limit);
}

void BrowserTreeBuilder::add(BrowserItem item) {
    open_.back().children.push_back(std::move(item));
}

void BrowserTreeBuilder::open_folder(BrowserItem folder) {
    open_.push_back(std::move(folder));
}

void BrowserTreeBuilder::close_folder() {
    if (open_.size() < 2) {
        return;
    }
    BrowserItem done = std::move(open_.back());
    open_.pop_back();
    open_[container_of(open_.size())].children.push_back(std::move(done));
}

BrowserItem BrowserTreeBuilder::finish() {
    while (open_.size() > 1) {
        close_folder();
    }
    return std::move(open_.front());
}

}  // namespace tb
