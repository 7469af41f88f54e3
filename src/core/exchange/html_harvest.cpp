#include "exchange/html_harvest.h"

#include <optional>

#include "platform/log.h"
#include "platform/messages.h"
#include "storage/ids.h"
#include "text/control_chars.h"
#include "text/declared_charset.h"
#include "text/file_bytes.h"
#include "text/html_entities.h"
#include "text/strings.h"
#include "text/unicode.h"

namespace tb {

namespace {

// "<a(.*?)href=("*)([^ ">]+)("*)(.*?)>" against a whole anchor: the address after the first
// "href=" that is followed by one.
std::string_view anchor_address(std::string_view anchor) {
    for (std::size_t at = ifind_ascii(anchor, "href=", 2); at != std::string_view::npos;
         at = ifind_ascii(anchor, "href=", at + 1)) {
        std::size_t start = at + 5;
        while (start < anchor.size() && anchor[start] == '"') {
            ++start;
        }
        std::size_t end = start;
        while (end < anchor.size() && anchor[end] != ' ' && anchor[end] != '"' &&
               anchor[end] != '>') {
            ++end;
        }
        if (end > start) {
            return anchor.substr(start, end - start);
        }
    }
    return {};
}

// Removes every "<[^>]+>".
std::string strip_tags(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '<') {
            std::size_t close = text.find('>', i + 1);
            if (close == std::string_view::npos) {
                out.append(text.substr(i));
                break;
            }
            if (close > i + 1) {
                i = close + 1;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

bool is_web_address(std::string_view address) {
    return address.starts_with("http://") || address.starts_with("https://") ||
           address.starts_with("ftp://");
}

}  // namespace

std::string html_page_text(std::string_view bytes) {
    std::string text;
    if (is_valid_utf8(bytes)) {
        text.assign(bytes);
    } else {
        std::string charset = declared_charset(bytes);
        if (charset.empty() || !convert_to_utf8(bytes, charset, text)) {
            if (!convert_to_utf8(bytes, "WINDOWS-1252", text)) {
                text = sanitize_utf8(bytes);
            }
        }
        if (!is_valid_utf8(text)) {
            text = sanitize_utf8(text);
        }
    }
    std::erase_if(text, [](char c) { return c == '\n' || c == '\r'; });
    return text;
}

std::vector<HarvestedLink> harvest_links(std::string_view text) {
    std::vector<HarvestedLink> links;
    std::size_t from = 0;
    while (true) {
        // "<a[^>]*>(.*?)</a>", case-insensitive, searched left to right.
        std::size_t open = ifind_ascii(text, "<a", from);
        if (open == std::string_view::npos) {
            break;
        }
        std::size_t tag_end = text.find('>', open + 2);
        if (tag_end == std::string_view::npos) {
            break;
        }
        std::size_t close = ifind_ascii(text, "</a>", tag_end + 1);
        if (close == std::string_view::npos) {
            break;
        }
        std::string_view anchor = text.substr(open, close + 4 - open);
        std::string_view inner = text.substr(tag_end + 1, close - tag_end - 1);
        from = close + 4;
        std::string address = clean_address(decode_html_entities(anchor_address(anchor)));
        if (!is_web_address(address)) {
            continue;
        }
        std::string title = clean_title(
            inner.find_first_of("<>") == std::string_view::npos ? inner : strip_tags(inner));
        if (trim(title).empty() || title.find("document.write") != std::string::npos) {
            continue;
        }
        links.push_back({std::move(title), std::move(address)});
    }
    return links;
}

bool harvest_html_links(ImportContext& context, const std::filesystem::path& file,
                        const std::string& title, RowId parent) {
    std::optional<std::string> bytes = read_file_bytes(file);
    if (!bytes) {
        if (parent == kNothingSelected) {
            context.model.db.reporter().report(msg::kCannotReadHtml);
        } else {
            log_append("*** Import: cannot read HTML file '" + sanitize_utf8(file.string()) +
                       "', skipped");
        }
        return false;
    }
    RowId folder = parent == kNothingSelected ? context.create_top_folder(title, false)
                                              : context.folder(parent, title);
    if (folder == 0) {
        return false;
    }
    std::vector<HarvestedLink> links = harvest_links(html_page_text(*bytes));
    for (const HarvestedLink& link : links) {
        // The first anchor of a title wins in its folder.
        if (!context.take_link_title(folder, link.title)) {
            continue;
        }
        context.insert_link(link.title, link.address, "", context.next_link_id(), folder, 0);
        if (!context.item_done()) {
            return true;
        }
    }
    return true;
}

}  // namespace tb
