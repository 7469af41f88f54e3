#include "text/html_text.h"

#include <array>
#include <cstdlib>

#include "text/html_entities.h"
#include "text/strings.h"
#include "text/unicode.h"

namespace tb {

namespace {

constexpr std::size_t kLongestReference = 12;

constexpr std::array<std::string_view, 17> kBlockTags{"br", "p",  "div", "li",    "tr",        "h1",
                                                      "h2", "h3", "h4",  "h5",    "h6",        "ul",
                                                      "ol", "hr", "pre", "table", "blockquote"};

bool is_block_tag(std::string_view name) {
    for (std::string_view tag : kBlockTags) {
        if (iequals_ascii(tag, name)) {
            return true;
        }
    }
    return false;
}

bool is_ascii_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The code point of the reference "&...;" whose body is `body` (between '&' and ';').
bool reference_value(std::string_view body, char32_t& code_point) {
    if (body.size() > 1 && body[0] == '#') {
        const bool hex = body[1] == 'x' || body[1] == 'X';
        const std::string digits(body.substr(hex ? 2 : 1));
        if (digits.empty() || digits.size() > 7) {
            return false;
        }
        char* end = nullptr;
        const unsigned long value = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
        const bool valid =
            *end == '\0' && value > 0 && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
        code_point = static_cast<char32_t>(value);
        return valid;
    }
    if (body == "apos") {
        code_point = U'\'';
        return true;
    }
    const auto named = html4_entity(body);
    code_point = named.value_or(0);
    return named.has_value();
}

// Appends the decoded reference at `at` (an '&') and returns the index after it, or appends the
// '&' alone when it starts no reference.
std::size_t append_reference(std::string_view text, std::size_t at, std::string& out) {
    const std::size_t semicolon = text.find(';', at + 1);
    char32_t code_point = 0;
    if (semicolon != std::string_view::npos && semicolon - at <= kLongestReference &&
        reference_value(text.substr(at + 1, semicolon - at - 1), code_point)) {
        append_utf8(out, code_point);
        return semicolon + 1;
    }
    out += '&';
    return at + 1;
}

std::string_view tag_name(std::string_view text, std::size_t at) {
    std::size_t start = at + 1;
    if (start < text.size() && text[start] == '/') {
        ++start;
    }
    std::size_t end = start;
    while (end < text.size() &&
           (is_ascii_letter(text[end]) || (text[end] >= '0' && text[end] <= '9'))) {
        ++end;
    }
    return text.substr(start, end - start);
}

// Skips the element's content up to and past its closing tag, for scripts and styles.
std::size_t skip_raw_element(std::string_view text, std::size_t at, std::string_view name) {
    for (std::size_t close = text.find("</", at); close != std::string_view::npos;
         close = text.find("</", close + 2)) {
        if (iequals_ascii(tag_name(text, close), name)) {
            const std::size_t end = text.find('>', close);
            return end == std::string_view::npos ? text.size() : end + 1;
        }
    }
    return text.size();
}

// Handles the markup at `at` (a '<') and returns the index after it; a '<' that starts no tag is
// text.
std::size_t skip_markup(std::string_view text, std::size_t at, std::string& out) {
    if (text.substr(at, 4) == "<!--") {
        const std::size_t end = text.find("-->", at + 4);
        return end == std::string_view::npos ? text.size() : end + 3;
    }
    const char next = at + 1 < text.size() ? text[at + 1] : '\0';
    if (!is_ascii_letter(next) && next != '/' && next != '!' && next != '?') {
        out += '<';
        return at + 1;
    }
    const std::string_view name = tag_name(text, at);
    const std::size_t end = text.find('>', at);
    const std::size_t after = end == std::string_view::npos ? text.size() : end + 1;
    if (is_block_tag(name)) {
        out += '\n';
    }
    const bool opening = next != '/';
    if (opening && (iequals_ascii(name, "script") || iequals_ascii(name, "style"))) {
        return skip_raw_element(text, after, name);
    }
    return after;
}

}  // namespace

std::string decode_html_references(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '&') {
            i = append_reference(text, i, out);
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string collapse_blank_runs(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool pending_space = false;
    bool pending_break = false;
    for (char c : text) {
        if (c == '\n') {
            pending_break = !out.empty();
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            pending_space = !out.empty();
        } else {
            if (pending_break) {
                out += '\n';
            } else if (pending_space) {
                out += ' ';
            }
            pending_space = pending_break = false;
            out += c;
        }
    }
    return out;
}

std::string html_to_plain_text(std::string_view html) {
    std::string text;
    text.reserve(html.size());
    for (std::size_t i = 0; i < html.size();) {
        if (html[i] == '<') {
            i = skip_markup(html, i, text);
        } else if (html[i] == '&') {
            i = append_reference(html, i, text);
        } else {
            text += html[i++];
        }
    }
    return collapse_blank_runs(text);
}

}  // namespace tb
