#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tb {

// The charset named by a <meta charset> or http-equiv declaration, or empty.
std::string declared_charset(std::string_view bytes);

// Bytes without a byte-order mark that are not valid UTF-8, as UTF-8 in the charset that
// `head` declares; nothing when they are marked or valid UTF-8, or when `head` declares no
// charset that ICU knows.
std::optional<std::string> decode_in_declared_charset(std::string_view bytes,
                                                      std::string_view head);

}  // namespace tb
