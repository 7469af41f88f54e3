#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "feeds/feed_downloader.h"
#include "platform/reporter.h"

namespace tb {

// A feed that a web page announces.
struct FeedLink {
    std::string title;  // the link's title attribute; may be empty
    std::string location;

    bool operator==(const FeedLink&) const = default;
};

// The feeds a page announces with <link rel="alternate"> of type application/rss+xml or
// application/atom+xml, in document order without repeats. Each address is resolved against the
// page's first <base href> and the page's address; only http and https addresses are kept.
std::vector<FeedLink> find_feed_links(std::string_view html, const std::string& page_address);

// True when the body is an HTML page rather than an XML document: by its doctype or first
// element, else, when they tell nothing, by the content type.
bool is_html_page(std::string_view body, std::string_view content_type);

struct Discovery {
    // The address gave an HTML page, and `feeds` are what it announces. Anything else, a feed or
    // a failed download, is subscribed as entered: its update shows what is wrong.
    bool page = false;
    std::string page_address;  // after redirects
    std::vector<FeedLink> feeds;
};

// Fetches the address once to find out whether it is a page that announces feeds.
Discovery discover_feeds(const std::string& location, const DownloadOptions& options,
                         const std::atomic<bool>* abort = nullptr);

// Why nothing was subscribed for a page without feed links.
Message no_feed_on_page(const std::string& location);

}  // namespace tb
