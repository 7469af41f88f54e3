#include "exchange/browser_tree.h"

namespace tb {

int count_browser_links(const BrowserItem& tree) {
    int count = 0;
    for (const BrowserItem& child : tree.children) {
        count += child.is_folder ? count_browser_links(child) : 1;
    }
    return count;
}

}  // namespace tb
