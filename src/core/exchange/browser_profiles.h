#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tb {

enum class BrowserFamily { Firefox, Chromium };
enum class HostSystem { Linux, Windows };

// Environment variables by name; discovery reads HOME, XDG_CONFIG_HOME, APPDATA and LOCALAPPDATA.
using Environment = std::map<std::string, std::string>;

// One browser profile: where its bookmarks are and what to call it.
struct BrowserProfile {
    std::string browser;  // "Firefox", "LibreWolf", "Chromium", "Brave", ...
    BrowserFamily family = BrowserFamily::Firefox;
    std::string name;  // the profile's own name, or the file's for a lone file
    // The profile folder, or the file itself when it belongs to none; it identifies the profile
    // when it is imported again.
    std::filesystem::path folder;
    std::filesystem::path file;  // what is read: a database, a backup or a Bookmarks file
};

// Every profile of the known browsers found under the folders that `environment` names, as
// `system` lays them out: on Linux the Firefox family's profiles.ini folders in the home folder
// (snap and flatpak ones too) and the Chromium family's user data folders under
// XDG_CONFIG_HOME (default ~/.config); on Windows those under APPDATA and LOCALAPPDATA. Only
// profiles with something to read are listed.
std::vector<BrowserProfile> discover_browser_profiles(const Environment& environment,
                                                      HostSystem system);

// The running program's environment and system, for discover_browser_profiles.
Environment process_environment();
HostSystem current_host_system();

// A profile folder or a file chosen by hand. The browser is told by the path where it matches a
// known location, else by the family (or, without one, by the file's name). std::nullopt when a
// folder holds nothing to read.
std::optional<BrowserProfile> profile_for_path(const std::filesystem::path& path,
                                               std::optional<BrowserFamily> family);

// The file to read in a profile folder: places.sqlite, else Bookmarks, else the newest backup in
// bookmarkbackups; empty when there is none.
std::filesystem::path profile_bookmarks_file(const std::filesystem::path& folder);

// "Firefox — default-release": the title of the profile's top folder.
std::string profile_title(const BrowserProfile& profile);

}  // namespace tb
