#pragma once

#include <string>

namespace tb {

// One item of a newsfeed document; its number is its id in the feed's link list.
struct FeedItem {
    int number = 0;
    std::string title;
    std::string description;
    std::string link;

    bool operator==(const FeedItem&) const = default;
};

}  // namespace tb
