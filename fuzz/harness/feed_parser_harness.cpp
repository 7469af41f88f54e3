#include <cstdlib>

#include "feeds/feed_parser.h"
#include "harness/fuzz_support.h"
#include "harness/fuzz_targets.h"
#include "platform/reporter.h"

namespace tb::fuzz {

namespace {

// The XML library is set up once per process, as the program does.
void ensure_xml_runtime() {
    static XercesRuntime runtime;
    static SilentReporter reporter;
    if (!runtime.available()) {
        require(runtime.initialize(reporter), "the XML library does not start");
    }
}

}  // namespace

// The input is a downloaded feed document.
void fuzz_feed_parser(const std::uint8_t* data, std::size_t size) {
    ensure_xml_runtime();
    const std::filesystem::path file = scratch_folder() / "feed.xml";
    write_bytes(file, input_text(data, size));
    SilentReporter reporter;
    ParsedFeed feed = parse_feed_document(file, "Fuzzed feed", reporter);
    if (!feed.ok) {
        return;
    }
    for (std::size_t i = 0; i < feed.items.size(); ++i) {
        const FeedItem& item = feed.items[i];
        require(item.number == static_cast<int>(i), "items are not numbered in order");
        for (const std::string* field : {&item.title, &item.description, &item.link}) {
            require(reference_valid_utf8(*field), "an item text is not valid UTF-8", *field);
        }
    }
}

}  // namespace tb::fuzz
