#include "text/codecs.h"

#include <array>
#include <ctime>

#include "text/unicode.h"

namespace tb {

namespace {

struct EntityRow {
    std::string_view entity;
    std::string_view text;
};

// The order matters: "&amp;" runs before "&lt;", so "&amp;lt;" decodes to "<".
constexpr std::array<EntityRow, 61> kEntityRows{{
    {"&sp;", " "},     {"&#032;", " "},   {"&excl;", "!"},   {"&#033;", "!"},   {"&quot;", "\""},
    {"&#034;", "\""},  {"&num;", "#"},    {"&#035;", "#"},   {"&dollar;", "$"}, {"&#036;", "$"},
    {"&percnt;", "%"}, {"&#037;", "%"},   {"&amp;", "&"},    {"&#038;", "&"},   {"&apos;", "'"},
    {"&#039;", "'"},   {"&lpar;", "("},   {"&#040;", "("},   {"&rpar;", ")"},   {"&#041;", ")"},
    {"&ast;", "*"},    {"&#042;", "*"},   {"&plus;", "+"},   {"&#043;", "+"},   {"&comma;", ","},
    {"&#044;", ","},   {"&hyphen;", "-"}, {"&#045;", "-"},   {"&minus;", "-"},  {"&period;", "."},
    {"&#046;", "."},   {"&sol;", "/"},    {"&#047;", "/"},   {"&colon;", ":"},  {"&#058;", ":"},
    {"&semi;", ";"},   {"&#059;", ";"},   {"&lt;", "<"},     {"&#060;", "<"},   {"&equals;", "="},
    {"&#061;", "="},   {"&gt;", ">"},     {"&#062;", ">"},   {"&quest;", "?"},  {"&#063;", "?"},
    {"&curren;", "¤"}, {"&#164;", "¤"},   {"&brvbar;", "¦"}, {"&#166;", "¦"},   {"&sect;", "§"},
    {"&#167;", "§"},   {"&laquo;", "«"},  {"&#171;", "«"},   {"&raquo;", "»"},  {"&#187;", "»"},
    {"&deg;", "°"},    {"&#176;", "°"},   {"&middot;", "·"}, {"&#183;", "·"},   {"&euro;", "€"},
    {"&#8364;", "€"},
}};

void replace_all(std::string& text, std::string_view from, std::string_view to) {
    size_t pos = text.find(from);
    if (pos == std::string::npos) {
        return;
    }
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    for (; pos != std::string::npos; pos = text.find(from, start)) {
        out.append(text, start, pos - start);
        out.append(to);
        start = pos + from.size();
    }
    out.append(text, start);
    text.swap(out);
}

int digit_value(char c, int base) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) {
        return (c | 0x20) - 'a' + 10;
    }
    return -1;
}

// Parses "&#NNN;" or "&#xHH;" at text[pos]; returns its length and sets code_point when it names
// a Unicode scalar value other than 0, else returns 0.
size_t numeric_reference(std::string_view text, size_t pos, char32_t& code_point) {
    size_t i = pos + 2;
    int base = 10;
    if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    }
    const size_t digits_start = i;
    char32_t value = 0;
    for (int d; i < text.size() && (d = digit_value(text[i], base)) >= 0; ++i) {
        value = value * base + d;
        if (value > 0x10FFFF) {
            return 0;
        }
    }
    if (i == digits_start || i >= text.size() || text[i] != ';') {
        return 0;
    }
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    code_point = value;
    return i + 1 - pos;
}

std::string decode_numeric_references(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t copied = 0;
    size_t pos = text.find("&#");
    while (pos != std::string::npos) {
        char32_t code_point = 0;
        const size_t length = numeric_reference(text, pos, code_point);
        if (length > 0) {
            out.append(text, copied, pos - copied);
            append_utf8(out, code_point);
            copied = pos + length;
        }
        pos = text.find("&#", length > 0 ? copied : pos + 1);
    }
    out.append(text, copied);
    return out;
}

}  // namespace

std::string regex_escape(std::string_view text) {
    static constexpr std::string_view kSpecial = ".|*?+(){}[]^$\\";
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        if (kSpecial.find(c) != std::string_view::npos) {
            out += '\\';
        }
        out += c;
    }
    return out;
}

void sql_quote(std::string& text) {
    replace_all(text, "'", "''");
}

namespace {

// Every entity of the table and every numeric reference starts with "&" and a letter or "#".
bool may_hold_entity(std::string_view text) {
    for (size_t at = text.find('&'); at != std::string_view::npos; at = text.find('&', at + 1)) {
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        if (next == '#' || (next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z')) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string decode_html_entities(std::string_view text) {
    std::string out(text);
    if (!may_hold_entity(out)) {
        return out;
    }
    for (const auto& row : kEntityRows) {
        replace_all(out, row.entity, row.text);
    }
    return decode_numeric_references(out);
}

std::string encode_html_entities(std::string_view text) {
    // One pass gives the same result as replacing "&" first and the rest after it, since no
    // replacement contains a character that a later one would encode.
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '"') {
            out += "&quot;";
        } else if (c == '\xC2' && (next == '\xAB' || next == '\xBB')) {
            out += next == '\xAB' ? "&laquo;" : "&raquo;";
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string safe_file_name(std::string_view text) {
    static constexpr std::string_view kReplaced = " \\/;*\"<>";
    std::string out(text);
    for (char& c : out) {
        if (kReplaced.find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    return out;
}

std::string format_now(const char* format) {
    return format_local_time(static_cast<std::int64_t>(std::time(nullptr)), format);
}

std::string format_local_time(std::int64_t seconds, const char* format) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr || format == nullptr || *format == '\0') {
        return {};
    }
    // strftime returns 0 both for a too small buffer and for an empty result, so the buffer
    // grows only up to a bound.
    for (size_t size = 128; size <= 64 * 1024; size *= 4) {
        std::string out(size, '\0');
        size_t length = std::strftime(out.data(), out.size(), format, &local);
        if (length > 0) {
            out.resize(length);
            return out;
        }
    }
    return {};
}

}  // namespace tb
