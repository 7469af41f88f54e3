#include "feeds/feed_parser.h"

#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLString.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <memory>
#include <string_view>

#include "text/codecs.h"
#include "text/strings.h"
#include "text/unicode.h"

namespace tb {

namespace xc = XERCES_CPP_NAMESPACE;

namespace {

// Small enough to stop a nested-entity bomb at once, large enough for any real feed.
constexpr XMLSize_t kEntityExpansionLimit = 1000;

std::string to_utf8(const XMLCh* text) {
    return text == nullptr ? std::string() : utf16_to_utf8(text);
}

bool equals(const XMLCh* name, std::u16string_view expected) {
    return name != nullptr && std::u16string_view(name) == expected;
}

void append_decoded(std::string& field, const std::string& piece) {
    // Without an ampersand there is nothing to decode; skip the decoder's table walk.
    field += piece.find('&') == std::string::npos ? piece : decode_html_entities(piece);
}

std::vector<std::string> error_arguments(const std::string& path,
                                         const xc::SAXParseException& exception) {
    return {path, std::to_string(exception.getLineNumber()),
            std::to_string(exception.getColumnNumber()), to_utf8(exception.getMessage())};
}

class FeedHandler : public xc::DefaultHandler {
public:
    FeedHandler(std::string path, Reporter& reporter)
        : path_(std::move(path)), reporter_(reporter) {}

    std::vector<FeedItem>& items() { return items_; }
    bool failed() const { return failed_; }

    void characters(const XMLCh* const chars, const XMLSize_t length) override {
        if (items_.empty() || !(in_title_ || in_link_ || in_description_)) {
            return;
        }
        const std::string piece = utf16_to_utf8({chars, length});
        FeedItem& item = items_.back();
        if (in_title_) {
            append_decoded(item.title, piece);
        }
        if (in_link_) {
            append_decoded(item.link, piece);
        }
        if (in_description_) {
            append_decoded(item.description, piece);
        }
    }

    void endDocument() override {
        for (FeedItem& item : items_) {
            item.title = trim(item.title, " ");
            item.link = trim(item.link, " ");
            item.description = trim(item.description, " ");
        }
    }

    void endElement(const XMLCh* const, const XMLCh* const, const XMLCh* const) override {
        in_title_ = in_link_ = in_description_ = false;
    }

    void startElement(const XMLCh* const, const XMLCh* const localname, const XMLCh* const,
                      const xc::Attributes&) override {
        if (equals(localname, u"item")) {
            FeedItem item;
            item.number = static_cast<int>(items_.size());
            items_.push_back(std::move(item));
        }
        in_title_ = equals(localname, u"title");
        in_link_ = equals(localname, u"link");
        in_description_ = equals(localname, u"description");
    }

    void error(const xc::SAXParseException& exception) override {
        reporter_.report_text(TB_TRANSLATE_NOOP("Strings",
                                                "XML parser reports error in the file:\n'%1'\n"
                                                "at line %2, column %3: '%4'"),
                              error_arguments(path_, exception));
    }

    void fatalError(const xc::SAXParseException& exception) override {
        failed_ = true;
        reporter_.report_text(TB_TRANSLATE_NOOP("Strings",
                                                "XML parser reports fatal error in the file:\n"
                                                "'%1'\nat line %2, column %3: '%4'"),
                              error_arguments(path_, exception));
        throw exception;
    }

    // Every external entity and DTD reads as empty input: a feed cannot pull in a local file.
    xc::InputSource* resolveEntity(const XMLCh* const, const XMLCh* const system_id) override {
        static const XMLByte kEmpty[] = {0};
        return new xc::MemBufInputSource(kEmpty, 0, system_id != nullptr ? system_id : u"", false);
    }

private:
    std::string path_;
    Reporter& reporter_;
    std::vector<FeedItem> items_;
    bool in_title_ = false;
    bool in_link_ = false;
    bool in_description_ = false;
    bool failed_ = false;
};

std::unique_ptr<xc::SAX2XMLReader> make_hardened_reader(xc::SecurityManager& security) {
    std::unique_ptr<xc::SAX2XMLReader> reader(
        xc::XMLReaderFactory::createXMLReader(xc::XMLPlatformUtils::fgMemoryManager));
    reader->setFeature(xc::XMLUni::fgSAX2CoreValidation, false);
    reader->setFeature(xc::XMLUni::fgXercesSchema, false);
    reader->setFeature(xc::XMLUni::fgXercesLoadExternalDTD, false);
    reader->setFeature(xc::XMLUni::fgXercesDisableDefaultEntityResolution, true);
    reader->setProperty(xc::XMLUni::fgXercesSecurityManager, &security);
    return reader;
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
                               Reporter& reporter) {
    xc::SecurityManager security;
    security.setEntityExpansionLimit(kEntityExpansionLimit);
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
    std::unique_ptr<FeedHandler> handler;
    try {
        handler = std::make_unique<FeedHandler>(file.string(), reporter);
    } catch (...) {
        reporter.report_text(
            TB_TRANSLATE_NOOP("Strings",
                              "Newsfeed '%1': some error occured when creating XML "
                              "handler. Skipping..."),
            {feed_title});
        return {};
    }
    reader->setContentHandler(handler.get());
    reader->setErrorHandler(handler.get());
    reader->setEntityResolver(handler.get());
    bool parsed = true;
    try {
        const std::string& path = file.native();
        xc::TranscodeFromStr wide(reinterpret_cast<const XMLByte*>(path.data()), path.size(),
                                  "UTF-8");
        xc::LocalFileInputSource source(wide.str());
        reader->parse(source);
    } catch (...) {
        parsed = false;
    }
    // A fatal error ends the parse by an exception; the flag also covers a library build that
    // stops without one.
    if (!parsed || handler->failed()) {
        reporter.report_text(TB_TRANSLATE_NOOP("Strings",
                                               "Newsfeed '%1': some error occured when parsing XML "
                                               "file. Skipping..."),
                             {feed_title});
        return {};
    }
    return {std::move(handler->items()), true};
}

}  // namespace tb
