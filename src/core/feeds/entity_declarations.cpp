#include "feeds/entity_declarations.h"

#include <string_view>

#include "text/html_entities.h"

namespace tb {

namespace {

enum class Layout { Bytes, Utf16Le, Utf16Be, Unknown };

Layout detect_layout(const std::string& document) {
    const auto byte = [&](size_t i) {
        return i < document.size() ? static_cast<unsigned char>(document[i]) : 0x100u;
    };
    if ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == '<' && byte(1) == 0)) {
        return byte(2) == 0 && byte(3) == 0 ? Layout::Unknown : Layout::Utf16Le;
    }
    if ((byte(0) == 0xFE && byte(1) == 0xFF) || (byte(0) == 0 && byte(1) == '<')) {
        return Layout::Utf16Be;
    }
    if (byte(0) == 0 || byte(0) == 0x4C) {  // UTF-32 or EBCDIC
        return Layout::Unknown;
    }
    return Layout::Bytes;
}

// The document seen one character per code unit; anything outside ASCII reads as 0x80.
std::string ascii_view(const std::string& document, Layout layout) {
    if (layout == Layout::Bytes) {
        return document;
    }
    std::string view;
    view.reserve(document.size() / 2);
    for (size_t i = 0; i + 1 < document.size(); i += 2) {
        const unsigned char low = layout == Layout::Utf16Le ? document[i] : document[i + 1];
        const unsigned char high = layout == Layout::Utf16Le ? document[i + 1] : document[i];
        view += high == 0 && low < 0x80 ? static_cast<char>(low) : '\x80';
    }
    return view;
}

std::string encode(std::string_view ascii, Layout layout) {
    if (layout == Layout::Bytes) {
        return std::string(ascii);
    }
    std::string out;
    out.reserve(ascii.size() * 2);
    for (char c : ascii) {
        out += layout == Layout::Utf16Le ? std::string{c, '\0'} : std::string{'\0', c};
    }
    return out;
}

std::string entity_declarations() {
    std::string out;
    for (const HtmlEntity& entity : html4_entities()) {
        out += "<!ENTITY " + std::string(entity.name) + " \"&#" +
               std::to_string(static_cast<unsigned long>(entity.code_point)) + ";\">";
    }
    return out;
}

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool is_name_end(char c) {
    return is_space(c) || c == '>' || c == '/' || c == '[';
}

// Skips from `at` past `terminator`; npos when it never comes.
size_t skip_past(const std::string& view, size_t at, std::string_view terminator) {
    const size_t found = view.find(terminator, at);
    return found == std::string::npos ? found : found + terminator.size();
}

// Where the declarations go and what surrounds them there.
struct Insertion {
    size_t at = std::string::npos;
    std::string before;
    std::string after;
};

// Inside "<!DOCTYPE ...": before the closing "]" of an internal subset, or a new subset before ">".
Insertion in_doctype(const std::string& view, size_t at) {
    char quote = 0;
    for (; at < view.size(); ++at) {
        const char c = view[at];
        if (quote != 0) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return {at, " [", "]"};
        } else if (c == '[') {
            break;
        }
    }
    for (++at; at < view.size(); ++at) {
        const char c = view[at];
        if (quote != 0) {
            quote = c == quote ? 0 : quote;
        } else if (view.compare(at, 4, "<!--") == 0) {
            at = skip_past(view, at, "-->");
            if (at == std::string::npos) {
                return {};
            }
            --at;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ']') {
            return {at, "", ""};
        }
    }
    return {};
}

Insertion find_insertion(const std::string& view) {
    size_t at = view.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (at < view.size()) {
        if (is_space(view[at]) || view[at] == '\x80') {
            ++at;
        } else if (view.compare(at, 4, "<!--") == 0) {
            at = skip_past(view, at, "-->");
        } else if (view.compare(at, 2, "<?") == 0) {
            at = skip_past(view, at, "?>");
        } else if (view.compare(at, 9, "<!DOCTYPE") == 0) {
            return in_doctype(view, at + 9);
        } else if (view[at] == '<') {
            size_t end = at + 1;
            while (end < view.size() && !is_name_end(view[end])) {
                ++end;
            }
            return {at, "<!DOCTYPE " + view.substr(at + 1, end - at - 1) + " [", "]>"};
        } else {
            return {};
        }
    }
    return {};
}

}  // namespace

std::string declare_html_entities(std::string document) {
    const Layout layout = detect_layout(document);
    if (layout == Layout::Unknown) {
        return document;
    }
    const Insertion insertion = find_insertion(ascii_view(document, layout));
    if (insertion.at == std::string::npos) {
        return document;
    }
    static const std::string declarations = entity_declarations();
    const size_t unit = layout == Layout::Bytes ? 1 : 2;
    document.insert(insertion.at * unit,
                    encode(insertion.before + declarations + insertion.after, layout));
    return document;
}

}  // namespace tb
