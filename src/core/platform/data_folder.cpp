#include "platform/data_folder.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace tb {

namespace {

std::filesystem::path home_folder() {
    const char* home = std::getenv("HOME");
    return home != nullptr ? std::filesystem::path(home) : std::filesystem::path();
}

// Reads XDG_DOCUMENTS_DIR="$HOME/..." from user-dirs.dirs.
std::filesystem::path xdg_documents(const std::filesystem::path& home) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path dirs =
        (config != nullptr && *config != '\0') ? std::filesystem::path(config) : home / ".config";
    std::ifstream in(dirs / "user-dirs.dirs");
    const std::string key = "XDG_DOCUMENTS_DIR=";
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0) {
            continue;
        }
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.rfind("$HOME", 0) == 0) {
            value = home.string() + value.substr(5);
        }
        return value;
    }
    return {};
}

}  // namespace

std::filesystem::path documents_folder() {
    std::filesystem::path home = home_folder();
    std::error_code ec;
    std::filesystem::path xdg = xdg_documents(home);
    if (!xdg.empty() && std::filesystem::is_directory(xdg, ec)) {
        return xdg;
    }
    if (std::filesystem::is_directory(home / "Documents", ec)) {
        return home / "Documents";
    }
    return home;
}

std::filesystem::path data_folder(const std::optional<std::filesystem::path>& explicit_folder) {
    if (explicit_folder && !explicit_folder->empty()) {
        return *explicit_folder;
    }
    const char* env = std::getenv("TAGBERRY_DATA_DIR");
    if (env != nullptr && *env != '\0') {
        return env;
    }
    return documents_folder() / "Tagberry Data";
}

}  // namespace tb
