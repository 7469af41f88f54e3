#pragma once

#include <string>

namespace tb {

// The compiler's regular-expression steps, over UTF-8 text (invalid sequences become U+FFFD):
// a word character is any Unicode letter or digit or "_", white space any Unicode space.

// Replaces every run of white space by `replacement`.
std::string replace_white_space(const std::string& text, const std::string& replacement);

// Puts a space between a parenthesis and an adjacent word character, in the four fixed steps;
// parentheses next to each other stay together.
std::string space_parentheses(const std::string& text);

}  // namespace tb
