#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ini_reader.h"
#include "platform/settings.h"

namespace tb {

// The file in which the program's QSettings keeps its settings on Linux:
// $XDG_CONFIG_HOME (else ~/.config) + "/Quillmont/Tagberry 2.0.conf".
std::filesystem::path settings_file_path();

// Reads the program's settings file, group "Settings", for the command-line tool, which never
// writes settings: writes are ignored. A missing or unreadable file reads as all defaults.
class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(const std::filesystem::path& path = settings_file_path());

    std::optional<int> read_int(std::string_view name) override;
    std::optional<std::string> read_text(std::string_view name) override;
    void write_int(std::string_view, int) override {}
    void write_text(std::string_view, std::string_view) override {}

private:
    IniFile file_;
};

}  // namespace tb
