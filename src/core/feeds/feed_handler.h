#pragma once

#include <xercesc/sax2/DefaultHandler.hpp>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "feeds/feed_item.h"
#include "platform/reporter.h"

namespace tb {

// Ends a parse early with the reason the user sees; thrown from the handler's callbacks.
struct FeedStopped {
    Message reason;
};

// Bounds on what one document may produce: a small document with a large entity could
// otherwise expand to gigabytes.
struct TextLimits {
    std::size_t document_units = 16 * 1024 * 1024;
    std::size_t field_bytes = 1024 * 1024;
};

enum class FeedFormat { Unknown, Rss, Rdf, Atom };

// Collects the items of an RSS 0.9x/2.0, RDF (RSS 0.90/1.0) or Atom (1.0 and 0.3) document.
// Items come from elements of the format's own namespaces only; the parts of the channel are
// never items. Every link is resolved against xml:base and the document's address.
class FeedHandler : public XERCES_CPP_NAMESPACE::DefaultHandler {
public:
    FeedHandler(std::string path, std::string address, Reporter& reporter, TextLimits limits);
    ~FeedHandler() override;

    std::vector<FeedItem>& items() { return items_; }
    const std::string& feed_title() const { return feed_title_; }
    FeedFormat format() const { return format_; }
    bool failed() const { return failed_; }
    // The reason of the first fatal error, for the feed's status.
    const Message& failure() const { return failure_; }

    void characters(const XMLCh* chars, XMLSize_t length) override;
    void startElement(const XMLCh* uri, const XMLCh* localname, const XMLCh* qname,
                      const XERCES_CPP_NAMESPACE::Attributes& attributes) override;
    void endElement(const XMLCh* uri, const XMLCh* localname, const XMLCh* qname) override;
    void error(const XERCES_CPP_NAMESPACE::SAXParseException& exception) override;
    void fatalError(const XERCES_CPP_NAMESPACE::SAXParseException& exception) override;
    // Every external entity and DTD reads as empty input: a feed cannot pull in a local file.
    XERCES_CPP_NAMESPACE::InputSource* resolveEntity(const XMLCh* public_id,
                                                     const XMLCh* system_id) override;

private:
    enum class Role { Other, Root, Channel, Item, Field, Link };
    enum class Field { None, FeedTitle, Title, Link, Description, Summary, Content };
    enum class Markup { Text, Html, Xhtml };

    struct Frame {
        Role role = Role::Other;
        std::string base;
    };

    struct PendingItem {
        FeedItem item;
        std::string summary;
        std::string content;
        Markup title_markup = Markup::Text;
        Markup summary_markup = Markup::Text;
        Markup content_markup = Markup::Text;
        std::string link_base;  // of an RSS link element
        int link_rank = 0;      // of the Atom link taken so far; 0 when none
    };

    void start_root(const std::u16string& uri, const std::u16string& name);
    Field field_of(const std::u16string& uri, const std::u16string& name) const;
    bool in_format_namespace(const std::u16string& uri) const;
    void start_field(Field field, const Frame& frame,
                     const XERCES_CPP_NAMESPACE::Attributes& attributes);
    Markup markup_of(const XERCES_CPP_NAMESPACE::Attributes& attributes) const;
    std::string text_of(const std::string& text, Markup markup) const;
    void take_atom_link(const XERCES_CPP_NAMESPACE::Attributes& attributes,
                        const std::string& base);
    void finish_item();
    std::string* field_text();
    Role role_of(const std::u16string& uri, const std::u16string& name) const;
    void stop(Message reason);

    std::string path_;
    std::string address_;
    Reporter& reporter_;
    TextLimits limits_;
    FeedFormat format_ = FeedFormat::Unknown;
    std::u16string atom_namespace_;
    bool atom03_ = false;
    std::vector<Frame> frames_;
    std::vector<FeedItem> items_;
    std::optional<PendingItem> pending_;  // the item being read
    std::string feed_title_;
    Field field_ = Field::None;
    std::size_t field_depth_ = 0;
    bool field_closed_ = false;  // an RSS field stops at its first child element
    std::size_t document_units_ = 0;
    bool failed_ = false;
    Message failure_;
};

}  // namespace tb
