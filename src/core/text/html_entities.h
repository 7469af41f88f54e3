#pragma once

#include <optional>
#include <span>
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

}  // namespace tb
