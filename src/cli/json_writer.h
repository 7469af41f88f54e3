#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tb::cli {

// A JSON string literal, quotes included.
std::string json_quote(std::string_view text);

// Builds one JSON object or array by hand, without a dependency.
class JsonObject {
public:
    JsonObject& add(std::string_view key, std::string_view value);
    JsonObject& add(std::string_view key, const char* value) {
        return add(key, std::string_view(value));
    }
    JsonObject& add(std::string_view key, std::int64_t value);
    JsonObject& add(std::string_view key, int value) {
        return add(key, static_cast<std::int64_t>(value));
    }
    JsonObject& add(std::string_view key, bool value);
    JsonObject& add_raw(std::string_view key, std::string_view json);
    std::string str() const { return "{" + body_ + "}"; }
    // The object so far with `name` as its last key, for a value written after it and then "}".
    std::string open_str(std::string_view name) const;

private:
    void key(std::string_view name);
    std::string body_;
};

class JsonArray {
public:
    JsonArray& add_raw(std::string_view json);
    JsonArray& add(std::string_view text) { return add_raw(json_quote(text)); }
    std::string str() const { return "[" + body_ + "]"; }

private:
    std::string body_;
};

}  // namespace tb::cli
