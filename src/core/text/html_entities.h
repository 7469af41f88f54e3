#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tb {

// One named character reference of HTML 4 (Latin-1, symbols and special characters).
struct HtmlEntity {
    std::string_view name;
    char32_t code_point;
};

// The 252 entities of HTML 4, sorted by name.
std::span<const HtmlEntity> html4_entities();
std::optional<char32_t> html4_entity(std::string_view name);

// Decodes the entity table in its fixed row order (so "&amp;lt;" becomes "<"), then any numeric
// character reference that names a Unicode scalar value. Other entities stay as written.
std::string decode_html_entities(std::string_view text);

// & < > " « » become entities; everything else is copied.
std::string encode_html_entities(std::string_view text);

}  // namespace tb
