#include "feeds/feed_handler.h"

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/Attributes.hpp>

#include <string_view>

#include "feeds/feed_address.h"
#include "text/control_chars.h"
#include "text/html_text.h"
#include "text/strings.h"
#include "text/unicode.h"

namespace tb {

namespace xc = XERCES_CPP_NAMESPACE;

namespace {

constexpr std::string_view kXmlSpace = " \t\r\n";
constexpr std::u16string_view kRdfNamespace = u"http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr std::u16string_view kAtom03Namespace = u"http://purl.org/atom/ns#";
// Namespaces whose title, link and description are RSS's own.
constexpr std::u16string_view kRssNamespaces[] = {
    u"http://my.netscape.com/rdf/simple/0.9/", u"http://purl.org/rss/1.0/",
    u"http://backend.userland.com/rss2", u"http://blogs.law.harvard.edu/tech/rss"};
constexpr std::size_t kMegabyte = 1024 * 1024;

std::string to_utf8(const XMLCh* text) {
    return text == nullptr ? std::string() : utf16_to_utf8(text);
}

std::u16string to_u16(const XMLCh* text) {
    return text == nullptr ? std::u16string() : std::u16string(text);
}

std::string attribute(const xc::Attributes& attributes, const char16_t* name) {
    return to_utf8(attributes.getValue(name));
}

std::string trimmed(std::string_view text) {
    return std::string(trim(text, kXmlSpace));
}

std::vector<std::string> error_arguments(const std::string& path,
                                         const xc::SAXParseException& exception) {
    return {path, std::to_string(exception.getLineNumber()),
            std::to_string(exception.getColumnNumber()), to_utf8(exception.getMessage())};
}

}  // namespace

FeedHandler::FeedHandler(std::string path, std::string address, Reporter& reporter,
                         TextLimits limits)
    : path_(std::move(path)), address_(std::move(address)), reporter_(reporter), limits_(limits) {}

FeedHandler::~FeedHandler() = default;

void FeedHandler::characters(const XMLCh* const chars, const XMLSize_t length) {
    document_units_ += length;
    if (document_units_ > limits_.document_units) {
        stop(Message::plain(
            TB_TRANSLATE_NOOP("Strings", "the document holds more than %1 MB of text"),
            {std::to_string(limits_.document_units / kMegabyte)}));
    }
    std::string* text = field_text();
    if (text == nullptr || field_closed_) {
        return;
    }
    *text += utf16_to_utf8({chars, length});
    if (text->size() > limits_.field_bytes) {
        stop(Message::plain(TB_TRANSLATE_NOOP("Strings", "a field holds more than %1 MB of text"),
                            {std::to_string(limits_.field_bytes / kMegabyte)}));
    }
}

void FeedHandler::startElement(const XMLCh* const uri, const XMLCh* const localname,
                               const XMLCh* const, const xc::Attributes& attributes) {
    const std::u16string name_space = to_u16(uri);
    const std::u16string name = to_u16(localname);
    Frame frame;
    frame.base = frames_.empty() ? address_ : frames_.back().base;
    const std::string xml_base = attribute(attributes, u"xml:base");
    if (!xml_base.empty()) {
        // An unsafe base such as "javascript:" is not a web address and is ignored.
        const std::string resolved = resolve_address(frame.base, trimmed(xml_base));
        frame.base = is_web_address(resolved) ? resolved : frame.base;
    }
    if (frames_.empty()) {
        start_root(name_space, name);
        frame.role = Role::Root;
    } else if (field_ != Field::None) {
        // Atom's inline markup is part of its field; in RSS markup is escaped, so an element
        // inside a field ends what the field collects.
        field_closed_ = field_closed_ || format_ != FeedFormat::Atom;
    } else {
        frame.role = role_of(name_space, name);
        if (frame.role == Role::Item) {
            pending_ = PendingItem{};
            pending_->item.number = static_cast<int>(items_.size());
        } else if (frame.role == Role::Link) {
            take_atom_link(attributes, frame.base);
        } else if (frame.role == Role::Field) {
            start_field(field_of(name_space, name), frame, attributes);
        }
    }
    frames_.push_back(std::move(frame));
}

void FeedHandler::endElement(const XMLCh* const, const XMLCh* const, const XMLCh* const) {
    if (field_ != Field::None && frames_.size() - 1 == field_depth_) {
        field_ = Field::None;
    }
    if (frames_.back().role == Role::Item) {
        finish_item();
    }
    frames_.pop_back();
}

void FeedHandler::start_root(const std::u16string& uri, const std::u16string& name) {
    if (name == u"rss") {
        format_ = FeedFormat::Rss;
    } else if (name == u"RDF" && uri == kRdfNamespace) {
        format_ = FeedFormat::Rdf;
    } else if (name == u"feed") {
        // Some Atom feeds name an outdated draft's namespace; their elements are still Atom's.
        format_ = FeedFormat::Atom;
        atom_namespace_ = uri;
        atom03_ = uri == kAtom03Namespace;
    } else if (iequals_ascii(utf16_to_utf8(name), "html")) {
        stop(Message::plain(TB_TRANSLATE_NOOP("Strings", "not a feed (HTML page)")));
    } else {
        stop(Message::plain(
            TB_TRANSLATE_NOOP("Strings", "not a feed (the document's root element is <%1>)"),
            {utf16_to_utf8(name)}));
    }
}

bool FeedHandler::in_format_namespace(const std::u16string& uri) const {
    if (format_ == FeedFormat::Atom) {
        return uri == atom_namespace_;
    }
    if (uri.empty()) {
        return true;
    }
    for (std::u16string_view known : kRssNamespaces) {
        if (uri == known) {
            return true;
        }
    }
    return false;
}

FeedHandler::Role FeedHandler::role_of(const std::u16string& uri,
                                       const std::u16string& name) const {
    if (!in_format_namespace(uri)) {
        return Role::Other;
    }
    const bool atom = format_ == FeedFormat::Atom;
    const Role parent = frames_.back().role;
    if (!pending_ && name == (atom ? u"entry" : u"item")) {
        return Role::Item;
    }
    if (parent == Role::Root && !atom && name == u"channel") {
        return Role::Channel;
    }
    if (parent == Role::Item) {
        return atom && name == u"link"              ? Role::Link
               : field_of(uri, name) != Field::None ? Role::Field
                                                    : Role::Other;
    }
    const bool feed_level = atom ? parent == Role::Root : parent == Role::Channel;
    return feed_level && name == u"title" ? Role::Field : Role::Other;
}

FeedHandler::Field FeedHandler::field_of(const std::u16string& uri,
                                         const std::u16string& name) const {
    if (!in_format_namespace(uri)) {
        return Field::None;
    }
    if (frames_.back().role != Role::Item) {
        return name == u"title" ? Field::FeedTitle : Field::None;
    }
    if (name == u"title") {
        return Field::Title;
    }
    if (format_ == FeedFormat::Atom) {
        return name == u"summary"   ? Field::Summary
               : name == u"content" ? Field::Content
                                    : Field::None;
    }
    return name == u"link"          ? Field::Link
           : name == u"description" ? Field::Description
                                    : Field::None;
}

void FeedHandler::start_field(Field field, const Frame& frame, const xc::Attributes& attributes) {
    field_ = field;
    field_depth_ = frames_.size();
    field_closed_ = false;
    if (!pending_) {
        return;
    }
    const Markup markup = markup_of(attributes);
    if (field == Field::Title) {
        pending_->title_markup = markup;
    } else if (field == Field::Summary) {
        pending_->summary_markup = markup;
    } else if (field == Field::Content) {
        pending_->content_markup = markup;
    } else if (field == Field::Link) {
        pending_->link_base = frame.base;
    }
}

FeedHandler::Markup FeedHandler::markup_of(const xc::Attributes& attributes) const {
    const std::string type = attribute(attributes, u"type");
    if (!atom03_) {
        return type == "html" ? Markup::Html : type == "xhtml" ? Markup::Xhtml : Markup::Text;
    }
    const bool html = type.find("html") != std::string::npos;
    const std::string mode = attribute(attributes, u"mode");
    if (mode == "escaped") {
        return html ? Markup::Html : Markup::Text;
    }
    return html && mode != "base64" ? Markup::Xhtml : Markup::Text;
}

void FeedHandler::take_atom_link(const xc::Attributes& attributes, const std::string& base) {
    const std::string rel = attribute(attributes, u"rel");
    const std::string href = trimmed(attribute(attributes, u"href"));
    if ((!rel.empty() && rel != "alternate") || href.empty()) {
        return;
    }
    const int rank = attribute(attributes, u"type") == "text/html" ? 2 : 1;
    if (rank > pending_->link_rank) {
        pending_->item.link = resolve_address(base, href);
        pending_->link_rank = rank;
    }
}

std::string FeedHandler::text_of(const std::string& text, Markup markup) const {
    switch (markup) {
        case Markup::Html:
            return html_to_plain_text(text);
        case Markup::Xhtml:
            return collapse_blank_runs(text);
        case Markup::Text:
            break;
    }
    return trimmed(text);
}

void FeedHandler::finish_item() {
    FeedItem item = std::move(pending_->item);
    if (format_ == FeedFormat::Atom) {
        item.title = text_of(item.title, pending_->title_markup);
        const bool summary = !trim(pending_->summary, kXmlSpace).empty();
        item.description = summary ? text_of(pending_->summary, pending_->summary_markup)
                                   : text_of(pending_->content, pending_->content_markup);
    } else {
        // RSS titles are often escaped twice; descriptions are HTML.
        item.title = trimmed(decode_html_references(item.title));
        item.link =
            resolve_address(pending_->link_base, trimmed(decode_html_references(item.link)));
        item.description = html_to_plain_text(item.description);
    }
    // A title or address is one line of plain text wherever it is shown or stored.
    item.title = clean_title(item.title);
    item.link = clean_address(item.link);
    items_.push_back(std::move(item));
    pending_.reset();
}

std::string* FeedHandler::field_text() {
    switch (field_) {
        case Field::None:
            return nullptr;
        case Field::FeedTitle:
            return &feed_title_;
        case Field::Title:
            return &pending_->item.title;
        case Field::Link:
            return &pending_->item.link;
        case Field::Description:
            return &pending_->item.description;
        case Field::Summary:
            return &pending_->summary;
        case Field::Content:
            return &pending_->content;
    }
    return nullptr;
}

void FeedHandler::stop(Message reason) {
    failed_ = true;
    failure_ = reason;
    throw FeedStopped{std::move(reason)};
}

void FeedHandler::error(const xc::SAXParseException& exception) {
    reporter_.report_text(TB_TRANSLATE_NOOP("Strings",
                                            "XML parser reports error in the file:\n'%1'\n"
                                            "at line %2, column %3: '%4'"),
                          error_arguments(path_, exception));
}

void FeedHandler::fatalError(const xc::SAXParseException& exception) {
    failed_ = true;
    failure_ = Message::plain(
        TB_TRANSLATE_NOOP("Strings", "XML error at line %1: %2"),
        {std::to_string(exception.getLineNumber()), to_utf8(exception.getMessage())});
    reporter_.report_text(TB_TRANSLATE_NOOP("Strings",
                                            "XML parser reports fatal error in the file:\n"
                                            "'%1'\nat line %2, column %3: '%4'"),
                          error_arguments(path_, exception));
    throw exception;
}

xc::InputSource* FeedHandler::resolveEntity(const XMLCh* const, const XMLCh* const system_id) {
    static const XMLByte kEmpty[] = {0};
    return new xc::MemBufInputSource(kEmpty, 0, system_id != nullptr ? system_id : u"", false);
}

}  // namespace tb
