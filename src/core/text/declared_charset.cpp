#include "text/declared_charset.h"

#include <cctype>

#include "text/strings.h"
#include "text/unicode.h"

namespace tb {

std::string declared_charset(std::string_view bytes) {
    for (std::size_t at = ifind_ascii(bytes, "charset=", 0); at != std::string_view::npos;
         at = ifind_ascii(bytes, "charset=", at + 1)) {
        std::size_t start = at + 8;
        while (start < bytes.size() &&
               (bytes[start] == '"' || bytes[start] == '\'' || bytes[start] == ' ')) {
            ++start;
        }
        std::size_t end = start;
        while (end < bytes.size() &&
               (std::isalnum(static_cast<unsigned char>(bytes[end])) || bytes[end] == '-' ||
                bytes[end] == '_' || bytes[end] == ':' || bytes[end] == '.')) {
            ++end;
        }
        if (end > start) {
            return std::string(bytes.substr(start, end - start));
        }
    }
    return {};
}

std::optional<std::string> decode_in_declared_charset(std::string_view bytes,
                                                      std::string_view head) {
    const bool marked = bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") ||
                        bytes.starts_with("\xFE\xFF");
    if (marked || is_valid_utf8(bytes)) {
        return std::nullopt;
    }
    const std::string charset = declared_charset(head);
    std::string text;
    if (charset.empty() || !convert_to_utf8(bytes, charset, text)) {
        return std::nullopt;
    }
    return text;
}

}  // namespace tb
