#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/reporter.h"

namespace tb {

// One subscription of a subscription list.
struct OpmlFeed {
    std::string title;
    std::string location;

    bool operator==(const OpmlFeed&) const = default;
};

struct OpmlList {
    std::vector<OpmlFeed> feeds;
    bool ok = false;
    Message failure;  // why, when not ok
};

// Every outline with an xmlUrl, at any depth of category outlines, in document order. The title
// is the outline's title, else its text, else its location. Read with the feeds' hardened XML
// settings and text limits.
OpmlList read_opml(const std::filesystem::path& file);

// Writes an OPML 2.0 list, one outline type="rss" per feed, through the atomic file writer.
bool write_opml(const std::filesystem::path& file, const std::vector<OpmlFeed>& feeds);

}  // namespace tb
