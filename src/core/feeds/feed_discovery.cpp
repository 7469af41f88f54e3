#include "feeds/feed_discovery.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "feeds/feed_address.h"
#include "text/control_chars.h"
#include "text/html_text.h"
#include "text/strings.h"
#include "text/unicode.h"

namespace tb {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kFeedTypes[] = {"application/rss+xml", "application/atom+xml"};
// Elements whose content is raw text, where a "<link" is no tag.
constexpr std::string_view kRawTextElements[] = {"script", "style", "textarea", "title"};

struct Tag {
    std::string name;  // in lower case; empty for comments, declarations and end tags
    std::vector<std::pair<std::string, std::string>> attributes;  // names in lower case
    std::size_t end = std::string_view::npos;                     // just after the tag

    // The first attribute of that name, as HTML takes it, with its references decoded.
    std::optional<std::string> attribute(std::string_view wanted) const {
        for (const auto& [name, value] : attributes) {
            if (name == wanted) {
                return decode_html_references(value);
            }
        }
        return std::nullopt;
    }
};

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), ascii_lower);
    return out;
}

bool is_name_char(char c) {
    return !is_ascii_space(c) && c != '>' && c != '/' && c != '=' && c != '<';
}

std::size_t skip_spaces(std::string_view text, std::size_t at) {
    while (at < text.size() && is_ascii_space(text[at])) {
        ++at;
    }
    return at;
}

std::size_t after(std::string_view text, std::string_view close, std::size_t from) {
    const std::size_t found = text.find(close, from);
    return found == std::string_view::npos ? found : found + close.size();
}

// The attribute value at `at`: quoted with " or ', or up to a blank or '>'.
std::string read_value(std::string_view text, std::size_t& at) {
    if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
        const std::size_t close = text.find(text[at], at + 1);
        const std::size_t end = close == std::string_view::npos ? text.size() : close;
        std::string value(text.substr(at + 1, end - at - 1));
        at = close == std::string_view::npos ? end : close + 1;
        return value;
    }
    const std::size_t start = at;
    while (at < text.size() && !is_ascii_space(text[at]) && text[at] != '>') {
        ++at;
    }
    return std::string(text.substr(start, at - start));
}

// The start tag whose name begins at `at` (just after '<').
Tag read_start_tag(std::string_view text, std::size_t at) {
    Tag tag;
    const std::size_t name_start = at;
    while (at < text.size() && is_name_char(text[at])) {
        ++at;
    }
    tag.name = lower(text.substr(name_start, at - name_start));
    while (at < text.size() && text[at] != '>') {
        at = skip_spaces(text, at);
        if (at < text.size() && (text[at] == '/' || text[at] == '=')) {
            ++at;
            continue;
        }
        const std::size_t attribute_start = at;
        while (at < text.size() && is_name_char(text[at])) {
            ++at;
        }
        if (at == attribute_start) {
            continue;
        }
        std::string name = lower(text.substr(attribute_start, at - attribute_start));
        std::string value;
        const std::size_t equals = skip_spaces(text, at);
        if (equals < text.size() && text[equals] == '=') {
            at = skip_spaces(text, equals + 1);
            value = read_value(text, at);
        }
        tag.attributes.emplace_back(std::move(name), std::move(value));
    }
    tag.end = at < text.size() ? at + 1 : std::string_view::npos;
    return tag;
}

// The tag, comment or declaration that starts at `at` (a '<').
Tag read_tag(std::string_view text, std::size_t at) {
    if (text.substr(at, 4) == "<!--") {
        return {.end = after(text, "-->", at + 4)};
    }
    const bool letter = at + 1 < text.size() && ((text[at + 1] >= 'a' && text[at + 1] <= 'z') ||
                                                 (text[at + 1] >= 'A' && text[at + 1] <= 'Z'));
    if (!letter) {
        return {.end = after(text, ">", at + 1)};
    }
    return read_start_tag(text, at + 1);
}

// Where the raw text of the element ends: at its end tag, or at the end of the page.
std::size_t skip_raw_text(std::string_view text, const std::string& name, std::size_t from) {
    const std::size_t close = ifind_ascii(text, "</" + name, from);
    return close == std::string_view::npos ? close : after(text, ">", close);
}

bool is_raw_text_element(const std::string& name) {
    return std::find(std::begin(kRawTextElements), std::end(kRawTextElements), name) !=
           std::end(kRawTextElements);
}

bool has_token(std::string_view list, std::string_view wanted) {
    std::size_t at = 0;
    while ((at = skip_spaces(list, at)) < list.size()) {
        std::size_t end = at;
        while (end < list.size() && !is_ascii_space(list[end])) {
            ++end;
        }
        if (iequals_ascii(list.substr(at, end - at), wanted)) {
            return true;
        }
        at = end;
    }
    return false;
}

bool is_feed_type(std::string_view type) {
    const std::string_view bare = trim(type.substr(0, type.find(';')));
    return std::any_of(std::begin(kFeedTypes), std::end(kFeedTypes),
                       [bare](std::string_view known) { return iequals_ascii(bare, known); });
}

std::optional<FeedLink> feed_link(const Tag& tag) {
    const auto rel = tag.attribute("rel");
    const auto type = tag.attribute("type");
    const auto href = tag.attribute("href");
    if (!rel || !type || !href || !has_token(*rel, "alternate") || !is_feed_type(*type)) {
        return std::nullopt;
    }
    return FeedLink{clean_title(sanitize_utf8(tag.attribute("title").value_or(""))),
                    std::string(trim(*href))};
}

// Feeds and subscription lists, whatever content type a server gives them.
bool is_feed_root(const std::string& name) {
    return name == "rss" || name == "feed" || name == "opml" || name.ends_with("rdf");
}

// The name of the doctype that starts at `at` ("<!doctype"), in lower case.
std::string doctype_name(std::string_view text, std::size_t at) {
    at = skip_spaces(text, at + 9);
    const std::size_t start = at;
    while (at < text.size() && is_name_char(text[at])) {
        ++at;
    }
    return lower(text.substr(start, at - start));
}

}  // namespace

std::vector<FeedLink> find_feed_links(std::string_view html, const std::string& page_address) {
    std::vector<FeedLink> found;
    std::optional<std::string> base;
    std::size_t at = 0;
    while ((at = html.find('<', at)) != std::string_view::npos) {
        const Tag tag = read_tag(html, at);
        at = tag.end;
        if (tag.name == "link") {
            if (auto link = feed_link(tag)) {
                found.push_back(std::move(*link));
            }
        } else if (tag.name == "base" && !base) {
            base = tag.attribute("href");
        } else if (is_raw_text_element(tag.name) && at != std::string_view::npos) {
            at = skip_raw_text(html, tag.name, at);
        }
    }
    std::string resolved_base = page_address;
    if (base) {
        const std::string candidate = resolve_address(page_address, std::string(trim(*base)));
        resolved_base = is_web_address(candidate) ? candidate : page_address;
    }
    std::vector<FeedLink> feeds;
    for (FeedLink& link : found) {
        link.location = clean_address(resolve_address(resolved_base, link.location));
        const bool repeated = std::any_of(feeds.begin(), feeds.end(), [&](const FeedLink& known) {
            return known.location == link.location;
        });
        if (is_web_address(link.location) && !repeated) {
            feeds.push_back(std::move(link));
        }
    }
    return feeds;
}

bool is_html_page(std::string_view body, std::string_view content_type) {
    std::size_t at = body.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
    while ((at = skip_spaces(body, at)) < body.size() && body[at] == '<') {
        if (istarts_with_ascii(body.substr(at), "<!doctype")) {
            return doctype_name(body, at) == "html";
        }
        const Tag tag = read_tag(body, at);
        if (tag.name == "html") {
            return true;
        }
        if (is_feed_root(tag.name)) {
            return false;
        }
        if (!tag.name.empty()) {
            break;  // a fragment whose first element tells nothing
        }
        at = tag.end;
    }
    const std::string type = lower(content_type);
    return type.find("text/html") != std::string::npos ||
           type.find("application/xhtml+xml") != std::string::npos;
}

Discovery discover_feeds(const std::string& location, const DownloadOptions& options,
                         const std::atomic<bool>* abort) {
    Discovery discovery;
    const FetchedPage fetched = download_page(location, options, abort);
    if (fetched.download.result != DownloadResult::Ok ||
        !is_html_page(fetched.body, fetched.download.content_type)) {
        return discovery;
    }
    discovery.page = true;
    discovery.page_address = fetched.download.address;
    discovery.feeds = find_feed_links(fetched.body, fetched.download.address);
    return discovery;
}

Message no_feed_on_page(const std::string& location) {
    return Message::plain(TB_TRANSLATE_NOOP("Strings",
                                            "The page %1 announces no newsfeed, so nothing was "
                                            "subscribed."),
                          {location});
}

}  // namespace tb
