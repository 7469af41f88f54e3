#include "cli/json_writer.h"

#include <cstdio>

#include "text/unicode.h"

namespace tb::cli {

std::string json_quote(std::string_view raw) {
    std::string text = sanitize_utf8(raw);
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

void JsonObject::key(std::string_view name) {
    if (!body_.empty()) {
        body_ += ',';
    }
    body_ += json_quote(name) + ":";
}

std::string JsonObject::open_str(std::string_view name) const {
    JsonObject open = *this;
    open.key(name);
    return "{" + open.body_;
}

JsonObject& JsonObject::add(std::string_view name, std::string_view value) {
    key(name);
    body_ += json_quote(value);
    return *this;
}

JsonObject& JsonObject::add(std::string_view name, std::int64_t value) {
    key(name);
    body_ += std::to_string(value);
    return *this;
}

JsonObject& JsonObject::add(std::string_view name, bool value) {
    key(name);
    body_ += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::add_raw(std::string_view name, std::string_view json) {
    key(name);
    body_ += json;
    return *this;
}

JsonArray& JsonArray::add_raw(std::string_view json) {
    if (!body_.empty()) {
        body_ += ',';
    }
    body_ += json;
    return *this;
}

}  // namespace tb::cli
