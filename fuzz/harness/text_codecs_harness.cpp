#include <sqlite3.h>

#include "harness/fuzz_support.h"
#include "harness/fuzz_targets.h"
#include "text/file_names.h"
#include "text/html_entities.h"
#include "text/sql_quoting.h"
#include "text/unicode.h"

namespace tb::fuzz {

namespace {

void check_utf8_tools(std::string_view bytes) {
    const bool valid = reference_valid_utf8(bytes);
    require(is_valid_utf8(bytes) == valid, "is_valid_utf8 differs from the reference");
    const std::string sanitized = sanitize_utf8(bytes);
    require(reference_valid_utf8(sanitized), "sanitize_utf8 left invalid text", sanitized);
    require(!valid || sanitized == bytes, "sanitize_utf8 changed valid text");
    const std::string legacy = utf8_or_cp1251(bytes);
    require(reference_valid_utf8(legacy), "utf8_or_cp1251 gave invalid text", legacy);
    require(!valid || legacy == bytes, "utf8_or_cp1251 changed valid text");
    for (const std::string& line : decode_text_lines(bytes)) {
        require(reference_valid_utf8(line), "a decoded line is not valid UTF-8", line);
        require(line.find_first_of("\r\n") == std::string::npos, "a decoded line holds a break");
    }
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    require(reference_valid_utf8(utf16_to_utf8(units)), "utf16_to_utf8 gave invalid text");
    for (const char* charset : {"windows-1252", "koi8-r", "shift_jis", "utf-16"}) {
        std::string converted;
        if (convert_to_utf8(bytes, charset, converted)) {
            require(reference_valid_utf8(converted), "a conversion gave invalid text", converted);
        }
    }
}

void check_entities(std::string_view text) {
    const std::string encoded = encode_html_entities(text);
    require(encoded.find_first_of("<>\"") == std::string::npos, "markup survived encoding",
            encoded);
    if (!reference_valid_utf8(text)) {
        return;
    }
    const std::string decoded = decode_html_entities(text);
    require(reference_valid_utf8(decoded), "decoding made valid text invalid", decoded);
    // Without an ampersand of its own, the text comes back from its encoding unchanged.
    if (text.find('&') == std::string_view::npos) {
        require(decode_html_entities(encoded) == text, "encoding does not decode back", encoded);
    }
}

void check_sql_quote(std::string_view text) {
    // The engine ends the statement text at a NUL.
    if (text.find('\0') != std::string_view::npos) {
        return;
    }
    std::string quoted(text);
    sql_quote(quoted);
    const std::string sql = "SELECT '" + quoted + "'";
    sqlite3* db = nullptr;
    require(sqlite3_open(":memory:", &db) == SQLITE_OK, "cannot open a memory database");
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int prepared = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, &tail);
    const bool whole = prepared == SQLITE_OK && *tail == '\0' && sqlite3_step(stmt) == SQLITE_ROW;
    std::string back;
    if (whole) {
        back.assign(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                    static_cast<std::size_t>(sqlite3_column_bytes(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    require(whole && back == text, "a quoted text is not one literal of itself", sql);
}

void check_file_name(std::string_view text) {
    const std::string name = safe_file_name(text);
    require(name.size() == text.size(), "safe_file_name changed the length", name);
    require(name.find_first_of(" \\/;*\"<>") == std::string::npos,
            "safe_file_name left a forbidden character", name);
}

}  // namespace

// The input is any text; every codec is run on it.
void fuzz_text_codecs(const std::uint8_t* data, std::size_t size) {
    std::string_view text = input_text(data, size);
    check_utf8_tools(text);
    check_entities(text);
    check_sql_quote(text);
    check_file_name(text);
}

}  // namespace tb::fuzz
