#include "search/search_regex.h"

#include <boost/regex/icu.hpp>

#include "text/unicode.h"

namespace tb {

namespace {

boost::u32regex compile(const char* expression) {
    return boost::make_u32regex(expression, boost::regex::perl | boost::regex::icase);
}

// The UTF-8 iterators throw on invalid sequences; those become U+FFFD first.
std::string valid(const std::string& text) {
    return is_valid_utf8(text) ? text : sanitize_utf8(text);
}

}  // namespace

std::string replace_white_space(const std::string& text, const std::string& replacement) {
    static const boost::u32regex white_space = compile("\\s+");
    return boost::u32regex_replace(valid(text), white_space, replacement);
}

std::string space_parentheses(const std::string& text) {
    static const boost::u32regex steps[] = {
        compile("(\\()(\\w)"),
        compile("(\\w)(\\))"),
        compile("(\\w)(\\()"),
        compile("(\\))(\\w)"),
    };
    std::string spaced = valid(text);
    for (const auto& step : steps) {
        spaced = boost::u32regex_replace(spaced, step, "$1 $2");
    }
    return spaced;
}

}  // namespace tb
