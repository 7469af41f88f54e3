#pragma once

#include <string_view>

namespace tb {

// The blanks isspace() knows in the "C" locale.
inline constexpr std::string_view kAsciiSpaces = " \t\n\v\f\r";
// Space, tab, CR and LF: what is trimmed from typed titles, addresses and comments.
inline constexpr std::string_view kLineBlanks = " \t\r\n";

bool is_ascii_space(char c);

// The text without the given blanks at either end (at the end only, for trim_end).
std::string_view trim(std::string_view text, std::string_view blanks = kAsciiSpaces);
std::string_view trim_end(std::string_view text, std::string_view blanks = kAsciiSpaces);

// Case folding of ASCII letters only; other bytes, UTF-8 included, compare as they are.
char ascii_lower(char c);
bool iequals_ascii(std::string_view a, std::string_view b);
bool istarts_with_ascii(std::string_view text, std::string_view prefix);
bool iends_with_ascii(std::string_view text, std::string_view suffix);
// Where `needle`, in lower case, first occurs in text from `from` on, ASCII case ignored.
std::size_t ifind_ascii(std::string_view text, std::string_view needle, std::size_t from);

}  // namespace tb
