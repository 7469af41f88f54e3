#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/reporter.h"

namespace tb {

// The largest decompressed size a backup may declare; larger ones are refused unread.
inline constexpr std::size_t kMaxMozLz4Size = 256u * 1024u * 1024u;

// The text inside a browser's compressed bookmark backup: an 8-byte magic, the decompressed size
// as 4 little-endian bytes, then one LZ4 block. Anything else (another magic, a size over the
// limit, a block cut short or decoding to another size) is reported, naming `name`, and gives
// std::nullopt.
std::optional<std::string> decode_mozlz4(std::string_view bytes, const std::string& name,
                                         Reporter& reporter);

}  // namespace tb
