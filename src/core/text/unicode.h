#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/byte_steps.h"

namespace tb {

bool is_valid_utf8(std::string_view bytes);

// Valid UTF-8 with every invalid sequence replaced by U+FFFD.
std::string sanitize_utf8(std::string_view bytes);

void append_utf8(std::string& out, char32_t code_point);

// The length of the valid UTF-8 sequence at text[at] (1 to 4), with its code point; 0 when the
// bytes there are not valid UTF-8.
std::size_t decode_utf8(std::string_view text, std::size_t at, char32_t& code_point);

// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string utf16_to_utf8(std::u16string_view text);

// Converts text in a legacy charset to UTF-8 through ICU (with the labels browsers add); false
// when the charset is unknown. Bytes the charset cannot map become U+FFFD.
bool convert_to_utf8(std::string_view bytes, const std::string& charset, std::string& out);

// Windows-1251 unless the bytes are already valid UTF-8.
std::string utf8_or_cp1251(std::string_view bytes);

// The lines of a text file's bytes, decoded by its byte-order mark: FF FE is UTF-16 LE, FE FF is
// UTF-16 BE, EF BB BF or no mark is UTF-8. Lines end at CR, LF or CR LF. Invalid sequences and
// unpaired surrogates become U+FFFD and NUL characters are dropped; the result is always valid
// UTF-8.
std::vector<std::string> decode_text_lines(std::string_view bytes);

// The same lines, decoded in pieces with `step` called after each; std::nullopt when `step`
// stopped it.
std::optional<std::vector<std::string>> decode_text_lines(std::string_view bytes,
                                                          const ByteSteps& step);

}  // namespace tb
