#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tb {

// Puts a backslash before each of . | * ? + ( ) { } [ ] ^ $ and backslash.
std::string regex_escape(std::string_view text);

// Doubles every single quote, in place.
void sql_quote(std::string& text);

// Decodes the entity table in its fixed row order (so "&amp;lt;" becomes "<"), then any numeric
// character reference that names a Unicode scalar value. Other entities stay as written.
std::string decode_html_entities(std::string_view text);

// & < > " « » become entities; everything else is copied.
std::string encode_html_entities(std::string_view text);

// Space \ / ; * " < > become "_".
std::string safe_file_name(std::string_view text);

// Local time formatted by strftime rules.
std::string format_now(const char* format);
std::string format_local_time(std::int64_t seconds, const char* format);

}  // namespace tb
