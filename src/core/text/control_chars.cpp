#include "text/control_chars.h"

#include <cstdio>

namespace tb {

namespace {

constexpr unsigned char kDelete = 0x7F;
// C1 controls U+0080 to U+009F are C2 80 to C2 9F in UTF-8.
constexpr unsigned char kC1Lead = 0xC2;
constexpr unsigned char kC1First = 0x80;
constexpr unsigned char kC1Last = 0x9F;

bool is_line_break_or_tab(char c) {
    return c == '\r' || c == '\n' || c == '\t';
}

bool is_c0_or_delete(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == kDelete;
}

// Whether text[at] starts the two-byte UTF-8 form of a C1 control.
bool is_c1_at(std::string_view text, std::size_t at) {
    if (at + 1 >= text.size() || static_cast<unsigned char>(text[at]) != kC1Lead) {
        return false;
    }
    const auto next = static_cast<unsigned char>(text[at + 1]);
    return next >= kC1First && next <= kC1Last;
}

void append_hex_byte(std::string& out, const char* prefix, unsigned char byte) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%s%02X", prefix, byte);
    out += buffer;
}

// The text without C1 controls, DEL and the C0 controls other than CR, LF and TAB.
std::string without_hidden_controls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (is_c1_at(text, i)) {
            ++i;
        } else if (is_line_break_or_tab(text[i]) || !is_c0_or_delete(text[i])) {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

std::string clean_title(std::string_view title) {
    const std::string visible = without_hidden_controls(title);
    const auto is_blank = [](char c) { return c == ' ' || is_line_break_or_tab(c); };
    std::string out;
    out.reserve(visible.size());
    for (std::size_t i = 0; i < visible.size();) {
        if (!is_blank(visible[i])) {
            out += visible[i++];
            continue;
        }
        const std::size_t start = i;
        while (i < visible.size() && is_blank(visible[i])) {
            ++i;
        }
        const std::string_view run = std::string_view(visible).substr(start, i - start);
        if (run.find_first_of("\r\n\t") == std::string_view::npos) {
            out.append(run);
        } else if (start > 0 && i < visible.size()) {
            out += ' ';
        }
    }
    return out;
}

std::string clean_address(std::string_view address) {
    const auto is_edge_blank = [](char c) { return c == ' ' || is_c0_or_delete(c); };
    std::size_t first = 0;
    std::size_t last = address.size();
    while (first < last && is_edge_blank(address[first])) {
        ++first;
    }
    while (last > first && is_edge_blank(address[last - 1])) {
        --last;
    }
    std::string out;
    out.reserve(last - first);
    for (std::size_t i = first; i < last; ++i) {
        const char c = address[i];
        if (is_line_break_or_tab(c)) {
            continue;
        }
        if (is_c0_or_delete(c)) {
            append_hex_byte(out, "%", static_cast<unsigned char>(c));
        } else if (is_c1_at(address, i)) {
            append_hex_byte(out, "%", kC1Lead);
            append_hex_byte(out, "%", static_cast<unsigned char>(address[++i]));
        } else {
            out += c;
        }
    }
    return out;
}

std::string escape_control_chars(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    append_escaped_control_chars(out, text);
    return out;
}

void append_escaped_control_chars(std::string& out, std::string_view text) {
    // Runs of plain bytes are copied whole: a listing of many rows goes through here.
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool c1 = is_c1_at(text, i);
        if (!c1 && !is_c0_or_delete(c)) {
            continue;
        }
        out.append(text.substr(plain, i - plain));
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c1) {
            append_hex_byte(out, "\\u00", static_cast<unsigned char>(text[++i]));
        } else {
            append_hex_byte(out, "\\x", static_cast<unsigned char>(c));
        }
        plain = i + 1;
    }
    out.append(text.substr(plain));
}

}  // namespace tb
