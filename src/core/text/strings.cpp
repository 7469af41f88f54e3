#include "text/strings.h"

#include <algorithm>

namespace tb {

bool is_ascii_space(char c) {
    return kAsciiSpaces.find(c) != std::string_view::npos;
}

std::string_view trim_end(std::string_view text, std::string_view blanks) {
    const std::size_t last = text.find_last_not_of(blanks);
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view trim(std::string_view text, std::string_view blanks) {
    const std::size_t first = text.find_first_not_of(blanks);
    return first == std::string_view::npos ? std::string_view()
                                           : trim_end(text.substr(first), blanks);
}

char ascii_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool iequals_ascii(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return ascii_lower(x) == ascii_lower(y); });
}

bool istarts_with_ascii(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && iequals_ascii(text.substr(0, prefix.size()), prefix);
}

bool iends_with_ascii(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           iequals_ascii(text.substr(text.size() - suffix.size()), suffix);
}

std::size_t ifind_ascii(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.size() > text.size()) {
        return std::string_view::npos;
    }
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        if (ascii_lower(text[i]) == needle[0] &&
            iequals_ascii(text.substr(i, needle.size()), needle)) {
            return i;
        }
    }
    return std::string_view::npos;
}

}  // namespace tb
