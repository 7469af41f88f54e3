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
    std::string title;  // the document's own title of the feed
    bool ok = false;    // false when the reader, the handler or the parse failed
    Message failure;    // why, in a few words, when not ok
};

// Reads one local feed document (RSS 0.9x/2.0, RDF or Atom) into its items. The feed title is used
// only in messages; relative links resolve against `address`, the location the document came
// from. External DTDs and entities are never fetched, and entity expansion and the text a document
// may produce are bounded, since the document comes from the network. The HTML 4 entities are
// declared for every document.
ParsedFeed parse_feed_document(const std::filesystem::path& file, const std::string& feed_title,
                               Reporter& reporter, const std::string& address = {});

}  // namespace tb
