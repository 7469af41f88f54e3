#include "platform/ini_settings_store.h"

#include <charconv>
#include <cstdlib>

namespace tb {

namespace {

constexpr std::string_view kGroup = "Settings";

std::filesystem::path config_home() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && *xdg != '\0') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr && *home != '\0' ? home : "/") / ".config";
}

}  // namespace

std::filesystem::path settings_file_path() {
    return config_home() / "Quillmont" / "Tagberry 2.0.conf";
}

IniSettingsStore::IniSettingsStore(const std::filesystem::path& path)
    : file_(
          IniFile::load(path, IniDialect::QSettings).value_or(IniFile("", IniDialect::QSettings))) {
}

std::optional<int> IniSettingsStore::read_int(std::string_view name) {
    std::optional<std::string> text = file_.value(kGroup, name);
    if (!text) {
        return std::nullopt;
    }
    std::string_view digits = *text;
    while (!digits.empty() && digits.front() == ' ') {
        digits.remove_prefix(1);
    }
    while (!digits.empty() && digits.back() == ' ') {
        digits.remove_suffix(1);
    }
    if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-') {
        digits.remove_prefix(1);
    }
    int value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> IniSettingsStore::read_text(std::string_view name) {
    return file_.value(kGroup, name);
}

}  // namespace tb
