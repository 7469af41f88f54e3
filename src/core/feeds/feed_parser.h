#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "feeds/feed_item.h"
#include "platform/reporter.h"

namespace tb {

// Owns the XML library's process-wide state. Initialise on the main thread before any worker
// starts; terminate after every worker has ended.
class XercesRuntime {
public:
    XercesRuntime() = default;
    ~XercesRuntime() { terminate(); }
    XercesRuntime(const XercesRuntime&) = delete;
    XercesRuntime& operator=(const XercesRuntime&) = delete;

    // On failure reports the library's own message and returns false: feeds stay off for the run.
    bool initialize(Reporter& reporter);
    void terminate();
    bool available() const { return initialized_; }

private:
    bool initialized_ = false;
};

struct ParsedFeed {
    std::vector<FeedItem> items;
    bool ok = false;  // false when the reader, the handler or the parse failed
};

// Reads one local feed document (RSS 0.9x/2.0 or RDF) into its items. The feed title is used only
// in messages. External DTDs and entities are never fetched and entity expansion is limited, since
// the document comes from the network.
ParsedFeed parse_feed_document(const std::filesystem::path& file, const std::string& feed_title,
                               Reporter& reporter);

// The items, or none on any failure.
inline std::vector<FeedItem> parse_feed(const std::filesystem::path& file,
                                        const std::string& feed_title, Reporter& reporter) {
    return parse_feed_document(file, feed_title, reporter).items;
}

}  // namespace tb
