#include "feeds/opml.h"

#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/util/TransService.hpp>

#include "feeds/feed_handler.h"
#include "feeds/hardened_xml.h"
#include "text/strings.h"
#include "text/text_file_writer.h"
#include "text/unicode.h"

namespace tb {

namespace xc = XERCES_CPP_NAMESPACE;

namespace {

constexpr std::string_view kXmlSpace = " \t\r\n";
constexpr std::size_t kMegabyte = 1024 * 1024;

class OpmlHandler : public xc::DefaultHandler {
public:
    std::vector<OpmlFeed>& feeds() { return feeds_; }
    const Message& failure() const { return failure_; }

    void startElement(const XMLCh* const, const XMLCh* const localname, const XMLCh* const,
                      const xc::Attributes& attributes) override {
        const std::string name = utf16_to_utf8(localname);
        if (!root_seen_) {
            root_seen_ = true;
            if (name != "opml") {
                stop(Message::plain(
                    TB_TRANSLATE_NOOP("Strings",
                                      "not a subscription list (the root element is <%1>)"),
                    {name}));
            }
            return;
        }
        if (name != "outline") {
            return;
        }
        const std::string location = value(attributes, u"xmlUrl");
        if (location.empty()) {
            return;
        }
        std::string title = value(attributes, u"title");
        title = title.empty() ? value(attributes, u"text") : title;
        feeds_.push_back({title.empty() ? location : title, location});
    }

    void fatalError(const xc::SAXParseException& exception) override {
        failure_ = Message::plain(
            TB_TRANSLATE_NOOP("Strings", "XML error at line %1: %2"),
            {std::to_string(exception.getLineNumber()), utf16_to_utf8(exception.getMessage())});
        throw exception;
    }

    xc::InputSource* resolveEntity(const XMLCh* const, const XMLCh* const system_id) override {
        static const XMLByte kEmpty[] = {0};
        return new xc::MemBufInputSource(kEmpty, 0, system_id != nullptr ? system_id : u"", false);
    }

private:
    // Attribute values count against the same limits as a feed's text.
    std::string value(const xc::Attributes& attributes, const char16_t* name) {
        const XMLCh* raw = attributes.getValue(name);
        if (raw == nullptr) {
            return {};
        }
        const std::string text(trim(utf16_to_utf8(raw), kXmlSpace));
        text_bytes_ += text.size();
        if (text.size() > limits_.field_bytes || text_bytes_ > limits_.document_units) {
            stop(Message::plain(
                TB_TRANSLATE_NOOP("Strings", "the document holds more than %1 MB of text"),
                {std::to_string(limits_.document_units / kMegabyte)}));
        }
        return text;
    }

    void stop(Message reason) {
        failure_ = reason;
        throw FeedStopped{std::move(reason)};
    }

    TextLimits limits_;
    std::size_t text_bytes_ = 0;
    bool root_seen_ = false;
    std::vector<OpmlFeed> feeds_;
    Message failure_;
};

// The value escaped for a double-quoted XML attribute; line breaks and tabs survive as references.
std::string attribute_text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\n':
                out += "&#10;";
                break;
            case '\r':
                out += "&#13;";
                break;
            case '\t':
                out += "&#9;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

OpmlList read_opml(const std::filesystem::path& file) {
    OpmlList list;
    OpmlHandler handler;
    try {
        xc::SecurityManager security;
        const auto reader = make_hardened_reader(security);
        reader->setContentHandler(&handler);
        reader->setErrorHandler(&handler);
        reader->setEntityResolver(&handler);
        const std::string& path = file.native();
        xc::TranscodeFromStr wide(reinterpret_cast<const XMLByte*>(path.data()), path.size(),
                                  "UTF-8");
        xc::LocalFileInputSource source(wide.str());
        reader->parse(source);
    } catch (...) {
        list.failure = handler.failure();
        if (list.failure == Message{}) {
            list.failure = Message::plain(TB_TRANSLATE_NOOP("Strings", "Cannot read file %1."),
                                          {file.string()});
        }
        return list;
    }
    list.feeds = std::move(handler.feeds());
    list.ok = true;
    return list;
}

bool write_opml(const std::filesystem::path& file, const std::vector<OpmlFeed>& feeds) {
    TextFileWriter writer(file);
    if (!writer.is_open()) {
        return false;
    }
    writer.write(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"2.0\">\n  <head>\n"
        "    <title>Tagberry newsfeeds</title>\n  </head>\n  <body>\n");
    for (const OpmlFeed& feed : feeds) {
        const std::string title = attribute_text(feed.title);
        writer.write("    <outline type=\"rss\" text=\"" + title + "\" title=\"" + title +
                     "\" xmlUrl=\"" + attribute_text(feed.location) + "\"/>\n");
    }
    writer.write("  </body>\n</opml>\n");
    return writer.close();
}

}  // namespace tb
