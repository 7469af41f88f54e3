#include "feeds/feed_parser.h"

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLString.hpp>

#include <memory>
#include <string_view>

#include "feeds/entity_declarations.h"
#include "feeds/feed_handler.h"
#include "feeds/hardened_xml.h"
#include "text/control_chars.h"
#include "text/file_bytes.h"
#include "text/strings.h"
#include "text/unicode.h"

namespace tb {

namespace xc = XERCES_CPP_NAMESPACE;

namespace {

std::string to_utf8(const XMLCh* text) {
    return text == nullptr ? std::string() : utf16_to_utf8(text);
}

}  // namespace

bool XercesRuntime::initialize(Reporter& reporter) {
    if (initialized_) {
        return true;
    }
    try {
        xc::XMLPlatformUtils::Initialize();
    } catch (const xc::XMLException& exception) {
        reporter.report_text(to_utf8(exception.getMessage()));
        return false;
    }
    initialized_ = true;
    return true;
}

void XercesRuntime::terminate() {
    if (initialized_) {
        xc::XMLPlatformUtils::Terminate();
        initialized_ = false;
    }
}

ParsedFeed parse_feed_document(const std::filesystem::path& file, const std::string& feed_title,
                               Reporter& reporter, const std::string& address) {
    xc::SecurityManager security;
    std::unique_ptr<xc::SAX2XMLReader> reader;
    try {
        reader = make_hardened_reader(security);
    } catch (...) {
        reporter.report_text(
            TB_TRANSLATE_NOOP("Strings",
                              "Newsfeed '%1': some error occured when creating XML "
                              "reader. Skipping..."),
            {feed_title});
        return {};
    }
    ParsedFeed feed;
    const auto bytes = read_file_bytes(file);
    if (!bytes) {
        feed.failure =
            Message::plain(TB_TRANSLATE_NOOP("Strings", "Cannot read file %1."), {file.string()});
        reporter.report(feed.failure);
        return feed;
    }
    const std::string document = declare_html_entities(*bytes);
    FeedHandler handler(file.string(), address, reporter, TextLimits{});
    reader->setContentHandler(&handler);
    reader->setErrorHandler(&handler);
    reader->setEntityResolver(&handler);
    bool parsed = true;
    try {
        const std::string& path = file.native();
        xc::TranscodeFromStr system_id(reinterpret_cast<const XMLByte*>(path.data()), path.size(),
                                       "UTF-8");
        xc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(document.data()),
                                     document.size(), system_id.str(), false);
        reader->parse(source);
    } catch (const FeedStopped& stopped) {
        // The reason goes with the feed's state, where the user sees it without a dialog.
        feed.failure = stopped.reason;
        return feed;
    } catch (...) {
        parsed = false;
    }
    // A fatal error ends the parse by an exception; the flag also covers a library build that
    // stops without one.
    if (!parsed || handler.failed()) {
        reporter.report_text(TB_TRANSLATE_NOOP("Strings",
                                               "Newsfeed '%1': some error occured when parsing XML "
                                               "file. Skipping..."),
                             {feed_title});
        feed.failure = handler.failure();
        return feed;
    }
    feed.items = std::move(handler.items());
    feed.title = clean_title(handler.feed_title());
    feed.ok = true;
    return feed;
}

}  // namespace tb
