#include "text/unicode.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "text/strings.h"

namespace tb {

namespace {

// Writes a Unicode scalar value of U+0080 or above; returns the end of what it wrote.
char* encode_multibyte(char* out, char32_t cp) {
    if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    return out;
}

// Length of the valid UTF-8 sequence starting at text[i], or 0 when it is invalid.
size_t valid_sequence_length(std::string_view text, size_t i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        return 1;
    }
    size_t len = b0 >= 0xC2 && b0 <= 0xDF   ? 2
                 : b0 >= 0xE0 && b0 <= 0xEF ? 3
                 : b0 >= 0xF0 && b0 <= 0xF4 ? 4
                                            : 0;
    if (len == 0 || i + len > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    unsigned char b1 = byte(i + 1);
    if ((b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xED && b1 > 0x9F) || (b0 == 0xF0 && b1 < 0x90) ||
        (b0 == 0xF4 && b1 > 0x8F)) {
        return 0;
    }
    return len;
}

// Appends bytes to out, each byte of an invalid sequence as U+FFFD. Valid runs are copied whole.
void append_sanitized(std::string& out, std::string_view bytes) {
    size_t run_start = 0;
    for (size_t i = 0; i < bytes.size();) {
        size_t len = valid_sequence_length(bytes, i);
        if (len > 0) {
            i += len;
            continue;
        }
        out.append(bytes.substr(run_start, i - run_start));
        out.append("\xEF\xBF\xBD");
        run_start = ++i;
    }
    out.append(bytes.substr(run_start));
}

}  // namespace

bool is_valid_utf8(std::string_view bytes) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    const auto byte = [&bytes](size_t at) { return static_cast<unsigned char>(bytes[at]); };
    for (size_t i = 0; i < bytes.size();) {
        // Most text is ASCII, which is stepped over eight bytes at a time.
        std::uint64_t word = kHighBits;
        if (i + sizeof word <= bytes.size()) {
            std::memcpy(&word, bytes.data() + i, sizeof word);
        }
        if ((word & kHighBits) == 0) {
            i += sizeof word;
        } else if (byte(i) < 0x80) {
            ++i;
        } else if (byte(i) >= 0xC2 && byte(i) <= 0xDF && i + 1 < bytes.size() &&
                   (byte(i + 1) & 0xC0) == 0x80) {
            // Two-byte sequences, most letters beyond ASCII, are checked in place.
            i += 2;
        } else if (size_t len = valid_sequence_length(bytes, i); len > 0) {
            i += len;
        } else {
            return false;
        }
    }
    return true;
}

std::string sanitize_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    append_sanitized(out, bytes);
    return out;
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        cp = 0xFFFD;
    }
    if (cp < 0x80) {
        out += static_cast<char>(cp);
        return;
    }
    char bytes[4];
    out.append(bytes, encode_multibyte(bytes, cp));
}

size_t decode_utf8(std::string_view text, size_t at, char32_t& code_point) {
    const size_t length = at < text.size() ? valid_sequence_length(text, at) : 0;
    if (length == 0) {
        return 0;
    }
    const auto lead = static_cast<unsigned char>(text[at]);
    code_point = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        code_point = (code_point << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
    }
    return length;
}

std::string utf16_to_utf8(std::u16string_view text) {
    // Never more than three bytes per unit: a pair of units makes four.
    std::string out(text.size() * 3, '\0');
    char* cursor = out.data();
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit < 0x80) {
            *cursor++ = static_cast<char>(unit);
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            unit = 0xFFFD;
        }
        cursor = encode_multibyte(cursor, unit);
    }
    out.resize(static_cast<size_t>(cursor - out.data()));
    return out;
}

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
// ICU counts in int32_t; a file past this is not converted.
constexpr std::size_t kMaxConvertedBytes = 0x3FFFFFFF;

bool is_charset_name(const std::string& charset) {
    if (charset.empty()) {
        return false;
    }
    // A converter name is letters, digits and a few marks; anything else is not a charset.
    for (char c : charset) {
        bool ok = (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '-' ||
                  c == '_' || c == '.' || c == ':';
        if (!ok) {
            return false;
        }
    }
    return true;
}

// Labels that bookmark files declare, mapped as browsers read them: ICU does not know the first,
// and browsers read the Latin-1 and ASCII labels as windows-1252, whose 80-9F are printable.
constexpr std::pair<std::string_view, const char*> kCharsetAliases[] = {
    {"x-mac-system", "macintosh"},
    {"iso-8859-1", "windows-1252"},
    {"latin1", "windows-1252"},
    {"us-ascii", "windows-1252"},
};

std::string icu_charset_name(const std::string& charset) {
    for (const auto& [label, name] : kCharsetAliases) {
        if (iequals_ascii(charset, label)) {
            return name;
        }
    }
    return charset;
}

// Writes U+FFFD for bytes the charset cannot map; ICU's own substitute is U+001A in some charsets.
void substitute_replacement_character(const void*, UConverterToUnicodeArgs* args, const char*,
                                      int32_t, UConverterCallbackReason reason,
                                      UErrorCode* status) {
    if (reason > UCNV_IRREGULAR) {
        return;
    }
    constexpr UChar kReplacementCharacter = 0xFFFD;
    *status = U_ZERO_ERROR;
    ucnv_cbToUWriteUChars(args, &kReplacementCharacter, 1, 0, status);
}

// The bytes as UTF-16 through ICU's converter; a byte sequence it cannot map becomes U+FFFD.
std::optional<std::u16string> icu_decode(std::string_view bytes, const std::string& charset) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(
        ucnv_open(icu_charset_name(charset).c_str(), &status), &ucnv_close);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    ucnv_setToUCallBack(converter.get(), substitute_replacement_character, nullptr, nullptr,
                        nullptr, &status);
    // Every byte gives at most two UTF-16 units.
    std::u16string text(bytes.size() * 2 + 1, u'\0');
    const int32_t length =
        ucnv_toUChars(converter.get(), text.data(), static_cast<int32_t>(text.size()), bytes.data(),
                      static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(length));
    return text;
}

class Utf16Decoder {
public:
    Utf16Decoder(std::string_view bytes, bool big_endian)
        : bytes_(bytes), big_endian_(big_endian) {}

    std::vector<std::string> lines() {
        std::vector<std::string> result;
        std::string line;
        bool have_line = false;
        for (size_t i = 0; i < bytes_.size();) {
            if (i + 1 >= bytes_.size()) {
                line.append(kReplacement);
                have_line = true;
                break;
            }
            char16_t unit = unit_at(i);
            i += 2;
            if (unit == u'\r' || unit == u'\n') {
                if (unit == u'\r' && i + 1 < bytes_.size() && unit_at(i) == u'\n') {
                    i += 2;
                }
                result.push_back(std::move(line));
                line.clear();
                have_line = false;
                continue;
            }
            have_line = true;
            append_unit(line, unit, i);
        }
        if (have_line) {
            result.push_back(std::move(line));
        }
        return result;
    }

private:
    char16_t unit_at(size_t i) const {
        auto lo = static_cast<unsigned char>(bytes_[i + (big_endian_ ? 1 : 0)]);
        auto hi = static_cast<unsigned char>(bytes_[i + (big_endian_ ? 0 : 1)]);
        return static_cast<char16_t>(hi << 8 | lo);
    }

    // Appends unit, or the pair it starts with the unit at next (which is then consumed).
    void append_unit(std::string& line, char16_t unit, size_t& next) const {
        if (unit < 0x80) {
            line += static_cast<char>(unit);
            return;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF && next + 1 < bytes_.size()) {
            char16_t low = unit_at(next);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                next += 2;
                append_utf8(line, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                return;
            }
        }
        // A lone surrogate becomes U+FFFD inside append_utf8.
        append_utf8(line, unit);
    }

    std::string_view bytes_;
    bool big_endian_;
};

std::vector<std::string> decode_utf8_lines(std::string_view bytes) {
    std::vector<std::string> result;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        std::string& line = result.emplace_back();
        line.reserve(end - start);
        append_sanitized(line, bytes.substr(start, end - start));
        start = end;
        if (start < bytes.size()) {
            start += bytes.substr(start).starts_with("\r\n") ? 2 : 1;
        }
    }
    return result;
}

}  // namespace

bool convert_to_utf8(std::string_view bytes, const std::string& charset, std::string& out) {
    if (!is_charset_name(charset) || bytes.size() > kMaxConvertedBytes) {
        return false;
    }
    std::optional<std::u16string> text = icu_decode(bytes, charset);
    if (!text) {
        return false;
    }
    out = utf16_to_utf8(*text);
    return true;
}

std::string utf8_or_cp1251(std::string_view bytes) {
    if (is_valid_utf8(bytes)) {
        return std::string(bytes);
    }
    std::string out;
    return convert_to_utf8(bytes, "CP1251", out) ? out : sanitize_utf8(bytes);
}

namespace {

enum class TextEncoding { Utf8, Utf16Le, Utf16Be };

constexpr std::size_t kDecodePiece = std::size_t{1} << 20;

// The encoding that the byte-order mark gives, and the mark's length.
std::pair<TextEncoding, std::size_t> text_encoding(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) {
        return {TextEncoding::Utf16Le, 2};
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return {TextEncoding::Utf16Be, 2};
    }
    return {TextEncoding::Utf8, bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0};
}

std::vector<std::string> decode_lines(std::string_view text, TextEncoding encoding) {
    std::vector<std::string> lines =
        encoding == TextEncoding::Utf8
            ? decode_utf8_lines(text)
            : Utf16Decoder(text, encoding == TextEncoding::Utf16Be).lines();
    // A stored text ends at its first NUL, so a NUL kept here would make the stored text differ
    // from the one the reader compared.
    for (std::string& line : lines) {
        std::erase(line, '\0');
    }
    return lines;
}

// Where the piece that starts at `start` ends: just after the first line feed from about a
// piece's length on, so that the pieces decode to the lines of the whole.
std::size_t piece_end(std::string_view text, std::size_t start, TextEncoding encoding) {
    std::size_t at = start + kDecodePiece;
    if (at >= text.size()) {
        return text.size();
    }
    if (encoding == TextEncoding::Utf8) {
        const std::size_t feed = text.find('\n', at);
        return feed == std::string_view::npos ? text.size() : feed + 1;
    }
    const std::size_t low = encoding == TextEncoding::Utf16Le ? 0 : 1;
    for (; at + 1 < text.size(); at += 2) {
        if (text[at + low] == '\n' && text[at + 1 - low] == '\0') {
            return at + 2;
        }
    }
    return text.size();
}

}  // namespace

std::vector<std::string> decode_text_lines(std::string_view bytes) {
    const auto [encoding, mark] = text_encoding(bytes);
    return decode_lines(bytes.substr(mark), encoding);
}

std::optional<std::vector<std::string>> decode_text_lines(std::string_view bytes,
                                                          const ByteSteps& step) {
    const auto [encoding, mark] = text_encoding(bytes);
    const std::string_view text = bytes.substr(mark);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = piece_end(text, start, encoding);
        std::vector<std::string> piece = decode_lines(text.substr(start, end - start), encoding);
        lines.insert(lines.end(), std::make_move_iterator(piece.begin()),
                     std::make_move_iterator(piece.end()));
        start = end;
        if (!step(mark + start, bytes.size())) {
            return std::nullopt;
        }
    }
    return lines;
}

}  // namespace tb
