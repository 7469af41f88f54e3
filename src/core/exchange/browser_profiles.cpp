#include "exchange/browser_profiles.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdlib>

#include "exchange/browser_tree.h"
#include "platform/ini_reader.h"
#include "text/file_bytes.h"

extern char** environ;

namespace tb {

namespace {

namespace fs = std::filesystem;

enum class Base { Home, ConfigHome, AppData, LocalAppData };

// Where a browser keeps its profiles: the folder of profiles.ini for the Firefox family, the
// user data folder for the Chromium family.
struct BrowserPlace {
    const char* browser;
    BrowserFamily family;
    HostSystem system;
    Base base;
    const char* relative;
};

constexpr BrowserFamily kFirefox = BrowserFamily::Firefox;
constexpr BrowserFamily kChromium = BrowserFamily::Chromium;
constexpr HostSystem kLinux = HostSystem::Linux;
constexpr HostSystem kWindows = HostSystem::Windows;

constexpr std::array<BrowserPlace, 33> kPlaces{{
    {"Firefox", kFirefox, kLinux, Base::Home, ".mozilla/firefox"},
    {"Firefox", kFirefox, kLinux, Base::Home, "snap/firefox/common/.mozilla/firefox"},
    {"Firefox", kFirefox, kLinux, Base::Home, ".var/app/org.mozilla.firefox/.mozilla/firefox"},
    {"LibreWolf", kFirefox, kLinux, Base::Home, ".librewolf"},
    {"LibreWolf", kFirefox, kLinux, Base::Home,
     ".var/app/io.gitlab.librewolf-community/.librewolf"},
    {"Waterfox", kFirefox, kLinux, Base::Home, ".waterfox"},
    {"Waterfox", kFirefox, kLinux, Base::Home, ".var/app/net.waterfox.waterfox/.waterfox"},
    {"Floorp", kFirefox, kLinux, Base::Home, ".floorp"},
    {"Floorp", kFirefox, kLinux, Base::Home, ".var/app/one.ablaze.floorp/.floorp"},
    {"Chromium", kChromium, kLinux, Base::ConfigHome, "chromium"},
    {"Chromium", kChromium, kLinux, Base::Home, "snap/chromium/common/chromium"},
    {"Chromium", kChromium, kLinux, Base::Home, ".var/app/org.chromium.Chromium/config/chromium"},
    {"Chrome", kChromium, kLinux, Base::ConfigHome, "google-chrome"},
    {"Chrome", kChromium, kLinux, Base::Home, ".var/app/com.google.Chrome/config/google-chrome"},
    {"Brave", kChromium, kLinux, Base::ConfigHome, "BraveSoftware/Brave-Browser"},
    {"Brave", kChromium, kLinux, Base::Home,
     "snap/brave/current/.config/BraveSoftware/Brave-Browser"},
    {"Brave", kChromium, kLinux, Base::Home,
     ".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser"},
    {"Edge", kChromium, kLinux, Base::ConfigHome, "microsoft-edge"},
    {"Edge", kChromium, kLinux, Base::Home, ".var/app/com.microsoft.Edge/config/microsoft-edge"},
    {"Vivaldi", kChromium, kLinux, Base::ConfigHome, "vivaldi"},
    {"Vivaldi", kChromium, kLinux, Base::Home, ".var/app/com.vivaldi.Vivaldi/config/vivaldi"},
    {"Opera", kChromium, kLinux, Base::ConfigHome, "opera"},
    {"Opera", kChromium, kLinux, Base::Home, ".var/app/com.opera.Opera/config/opera"},
    {"Firefox", kFirefox, kWindows, Base::AppData, "Mozilla/Firefox"},
    {"LibreWolf", kFirefox, kWindows, Base::AppData, "LibreWolf"},
    {"Waterfox", kFirefox, kWindows, Base::AppData, "Waterfox"},
    {"Floorp", kFirefox, kWindows, Base::AppData, "Floorp"},
    {"Chromium", kChromium, kWindows, Base::LocalAppData, "Chromium/User Data"},
    {"Chrome", kChromium, kWindows, Base::LocalAppData, "Google/Chrome/User Data"},
    {"Brave", kChromium, kWindows, Base::LocalAppData, "BraveSoftware/Brave-Browser/User Data"},
    {"Edge", kChromium, kWindows, Base::LocalAppData, "Microsoft/Edge/User Data"},
    {"Vivaldi", kChromium, kWindows, Base::LocalAppData, "Vivaldi/User Data"},
    {"Opera", kChromium, kWindows, Base::AppData, "Opera Software/Opera Stable"},
}};

constexpr int kMaxFirefoxProfiles = 100;

std::string variable(const Environment& environment, const char* name) {
    auto it = environment.find(name);
    return it != environment.end() ? it->second : std::string();
}

fs::path base_folder(const Environment& environment, Base base) {
    switch (base) {
        case Base::Home:
            return variable(environment, "HOME");
        case Base::ConfigHome: {
            std::string config = variable(environment, "XDG_CONFIG_HOME");
            if (!config.empty()) {
                return config;
            }
            std::string home = variable(environment, "HOME");
            return home.empty() ? fs::path() : fs::path(home) / ".config";
        }
        case Base::AppData:
            return variable(environment, "APPDATA");
        case Base::LocalAppData:
            return variable(environment, "LOCALAPPDATA");
    }
    return {};
}

bool is_file(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// The family a lone file's content shows: a places database or a compressed backup is Firefox's,
// a JSON object with "roots" a Chromium file, one with "children" a Firefox backup.
std::optional<BrowserFamily> family_by_content(const fs::path& file) {
    const std::string head = read_file_head(file, kSqliteMagic.size()).value_or("");
    if (head.starts_with(kSqliteMagic) || head.starts_with(kMozLz4Magic)) {
        return BrowserFamily::Firefox;
    }
    std::optional<std::string> text = head.empty() ? std::nullopt : read_file_bytes(file);
    if (!text) {
        return std::nullopt;
    }
    const nlohmann::json json = nlohmann::json::parse(*text, nullptr, false);
    if (json.is_object() && json.contains("roots")) {
        return BrowserFamily::Chromium;
    }
    if (json.is_object() && json.contains("children")) {
        return BrowserFamily::Firefox;
    }
    return std::nullopt;
}

void add_firefox_profiles(const BrowserPlace& place, const fs::path& folder,
                          std::vector<BrowserProfile>& out) {
    std::optional<IniFile> ini = IniFile::load(folder / "profiles.ini");
    if (!ini) {
        return;
    }
    for (int n = 0; n < kMaxFirefoxProfiles; ++n) {
        std::string section = "Profile" + std::to_string(n);
        std::optional<std::string> path = ini->value(section, "Path");
        if (!path || path->empty()) {
            continue;
        }
        std::replace(path->begin(), path->end(), '\\', '/');
        fs::path profile = ini->value(section, "IsRelative").value_or("1") == "0" ? fs::path(*path)
                                                                                  : folder / *path;
        fs::path file = profile_bookmarks_file(profile);
        if (file.empty()) {
            continue;
        }
        std::string name = ini->value(section, "Name").value_or(profile.filename().string());
        out.push_back({place.browser, place.family, name, profile, file});
    }
}

// The names the user gave the profiles, from the browser's "Local State" file.
std::map<std::string, std::string> chromium_profile_names(const fs::path& user_data) {
    std::map<std::string, std::string> names;
    std::optional<std::string> bytes = read_file_bytes(user_data / "Local State");
    if (!bytes) {
        return names;
    }
    nlohmann::json state = nlohmann::json::parse(*bytes, nullptr, false);
    if (!state.is_object()) {
        return names;
    }
    const nlohmann::json* cache = &state;
    for (const char* key : {"profile", "info_cache"}) {
        auto it = cache->find(key);
        if (it == cache->end() || !it->is_object()) {
            return names;
        }
        cache = &*it;
    }
    for (const auto& [folder, info] : cache->items()) {
        if (info.is_object() && info.contains("name") && info["name"].is_string()) {
            names[folder] = info["name"].get<std::string>();
        }
    }
    return names;
}

void add_chromium_profiles(const BrowserPlace& place, const fs::path& user_data,
                           std::vector<BrowserProfile>& out) {
    std::error_code ec;
    if (!fs::is_directory(user_data, ec)) {
        return;
    }
    std::vector<fs::path> folders{user_data};
    for (const fs::directory_entry& entry : fs::directory_iterator(user_data, ec)) {
        if (entry.is_directory(ec)) {
            folders.push_back(entry.path());
        }
    }
    std::sort(folders.begin() + 1, folders.end());
    std::map<std::string, std::string> names = chromium_profile_names(user_data);
    for (const fs::path& folder : folders) {
        if (!is_file(folder / "Bookmarks")) {
            continue;
        }
        std::string name = folder.filename().string();
        if (auto it = names.find(name); it != names.end()) {
            name = it->second;
        }
        out.push_back({place.browser, place.family, name, folder, folder / "Bookmarks"});
    }
}

std::string lower_ascii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

// The browser whose known location the path lies in; the longest match wins.
const BrowserPlace* place_of(const fs::path& path) {
    std::string text = lower_ascii(path.generic_string());
    const BrowserPlace* best = nullptr;
    for (const BrowserPlace& place : kPlaces) {
        std::string relative = "/" + lower_ascii(place.relative) + "/";
        if (text.find(relative) != std::string::npos &&
            (best == nullptr ||
             std::string_view(place.relative).size() > std::string_view(best->relative).size())) {
            best = &place;
        }
    }
    return best;
}

}  // namespace

std::vector<BrowserProfile> discover_browser_profiles(const Environment& environment,
                                                      HostSystem system) {
    std::vector<BrowserProfile> profiles;
    for (const BrowserPlace& place : kPlaces) {
        fs::path base = base_folder(environment, place.base);
        if (place.system != system || base.empty()) {
            continue;
        }
        fs::path folder = base / place.relative;
        if (place.family == BrowserFamily::Firefox) {
            add_firefox_profiles(place, folder, profiles);
        } else {
            add_chromium_profiles(place, folder, profiles);
        }
    }
    return profiles;
}

Environment process_environment() {
    Environment environment;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        std::string_view text(*entry);
        std::size_t equals = text.find('=');
        if (equals != std::string_view::npos && equals > 0) {
            environment.emplace(text.substr(0, equals), text.substr(equals + 1));
        }
    }
    return environment;
}

HostSystem current_host_system() {
#ifdef _WIN32
    return HostSystem::Windows;
#else
    return HostSystem::Linux;
#endif
}

fs::path profile_bookmarks_file(const fs::path& folder) {
    for (const char* name : {"places.sqlite", "Bookmarks"}) {
        if (is_file(folder / name)) {
            return folder / name;
        }
    }
    // Backups are named with their date first, so the newest sorts last.
    std::error_code ec;
    std::vector<fs::path> backups;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(folder / "bookmarkbackups", ec)) {
        std::string extension = entry.path().extension().string();
        if ((extension == ".jsonlz4" || extension == ".json") && entry.is_regular_file(ec)) {
            backups.push_back(entry.path());
        }
    }
    std::sort(backups.begin(), backups.end());
    return backups.empty() ? fs::path() : backups.back();
}

std::optional<BrowserProfile> profile_for_path(const fs::path& path,
                                               std::optional<BrowserFamily> family) {
    BrowserProfile profile;
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec).lexically_normal();
    if (fs::is_directory(absolute, ec)) {
        profile.folder = absolute;
        profile.file = profile_bookmarks_file(absolute);
        if (profile.file.empty()) {
            return std::nullopt;
        }
    } else {
        profile.file = absolute;
        std::string file_name = absolute.filename().string();
        fs::path parent = absolute.parent_path();
        if (parent.filename() == "bookmarkbackups") {
            profile.folder = parent.parent_path();
        } else if (file_name == "places.sqlite" || file_name == "Bookmarks") {
            profile.folder = parent;
        } else {
            profile.folder = absolute;
        }
    }
    profile.name = profile.folder.filename().string();
    if (const BrowserPlace* place = place_of(profile.file)) {
        profile.browser = place->browser;
        profile.family = place->family;
    } else {
        // What the file holds outweighs the word the user chose it with.
        if (std::optional<BrowserFamily> shown = family_by_content(profile.file)) {
            family = shown;
        }
        bool chromium =
            family ? *family == BrowserFamily::Chromium : profile.file.filename() == "Bookmarks";
        profile.family = chromium ? BrowserFamily::Chromium : BrowserFamily::Firefox;
        profile.browser = chromium ? "Chromium" : "Firefox";
    }
    return profile;
}

std::string profile_title(const BrowserProfile& profile) {
    return profile.browser + " \u2014 " + profile.name;
}

}  // namespace tb
