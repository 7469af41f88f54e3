#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

#include "exchange/browser_import.h"
#include "exchange/browser_profiles.h"
#include "support/test_support.h"

namespace tb::test {

namespace {

namespace fs = std::filesystem;

std::vector<std::string> listed(const std::vector<BrowserProfile>& profiles, const fs::path& base) {
    std::vector<std::string> lines;
    for (const BrowserProfile& profile : profiles) {
        lines.push_back(profile_title(profile) + " | " +
                        profile.file.lexically_relative(base).generic_string());
    }
    return lines;
}

void touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    write_file(file, "{}");
}

TEST(BrowserProfilesTest, LinuxProfilesOfBothFamiliesIncludingSnapAndFlatpak) {
    TempDir home;
    write_file(
        (fs::create_directories(home / ".mozilla/firefox"), home / ".mozilla/firefox/profiles.ini"),
        "[General]\nStartWithLastProfile=1\n\n[Profile1]\nName=work\nIsRelative=1\n"
        "Path=Profiles/w.work\n\n[Profile0]\nName=default-release\nIsRelative=1\n"
        "Path=abc.default-release\nDefault=1\n\n[Profile2]\nName=empty\nIsRelative=1\n"
        "Path=nothing.here\n");
    touch(home / ".mozilla/firefox/abc.default-release/places.sqlite");
    touch(home / ".mozilla/firefox/Profiles/w.work/bookmarkbackups/bookmarks-2026-01-02.jsonlz4");
    touch(home / ".mozilla/firefox/Profiles/w.work/bookmarkbackups/bookmarks-2026-03-04.jsonlz4");
    fs::create_directories(home / "snap/firefox/common/.mozilla/firefox/s.default");
    write_file(home / "snap/firefox/common/.mozilla/firefox/profiles.ini",
               "[Profile0]\nName=snappy\nIsRelative=1\nPath=s.default\n");
    touch(home / "snap/firefox/common/.mozilla/firefox/s.default/places.sqlite");
    touch(home / "xdg/chromium/Default/Bookmarks");
    touch(home / "xdg/chromium/Profile 1/Bookmarks");
    fs::create_directories(home / "xdg/chromium/Crash Reports");
    write_file(home / "xdg/chromium/Local State",
               R"({"profile":{"info_cache":{"Profile 1":{"name":"Holiday"}}}})");
    touch(home / ".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser/Default/Bookmarks");
    touch(home / "xdg/opera/Bookmarks");

    Environment environment{{"HOME", home.path().string()},
                            {"XDG_CONFIG_HOME", (home / "xdg").string()},
                            {"APPDATA", (home / "xdg").string()}};
    std::vector<std::string> lines =
        listed(discover_browser_profiles(environment, HostSystem::Linux), home.path());
    EXPECT_EQ(
        lines,
        (std::vector<std::string>{
            "Firefox \u2014 default-release | .mozilla/firefox/abc.default-release/places.sqlite",
            "Firefox \u2014 work | .mozilla/firefox/Profiles/w.work/bookmarkbackups/"
            "bookmarks-2026-03-04.jsonlz4",
            "Firefox \u2014 snappy | snap/firefox/common/.mozilla/firefox/s.default/places.sqlite",
            "Chromium \u2014 Default | xdg/chromium/Default/Bookmarks",
            "Chromium \u2014 Holiday | xdg/chromium/Profile 1/Bookmarks",
            "Brave \u2014 Default | .var/app/com.brave.Browser/config/BraveSoftware/"
            "Brave-Browser/Default/Bookmarks",
            "Opera \u2014 opera | xdg/opera/Bookmarks"}));
    EXPECT_TRUE(discover_browser_profiles({}, HostSystem::Linux).empty());
}

TEST(BrowserProfilesTest, WindowsProfilesUnderAppDataAndLocalAppData) {
    TempDir root;
    fs::create_directories(root / "Roaming/Mozilla/Firefox/Profiles/x.default");
    write_file(root / "Roaming/Mozilla/Firefox/profiles.ini",
               "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles\\x.default\r\n");
    touch(root / "Roaming/Mozilla/Firefox/Profiles/x.default/places.sqlite");
    touch(root / "Local/Microsoft/Edge/User Data/Default/Bookmarks");
    touch(root / "Local/Google/Chrome/User Data/Profile 3/Bookmarks");
    // A Linux layout under the same folders is not looked at.
    touch(root / "Roaming/.config/chromium/Default/Bookmarks");

    Environment environment{{"APPDATA", (root / "Roaming").string()},
                            {"LOCALAPPDATA", (root / "Local").string()},
                            {"HOME", (root / "Roaming").string()}};
    EXPECT_EQ(
        listed(discover_browser_profiles(environment, HostSystem::Windows), root.path()),
        (std::vector<std::string>{
            "Firefox \u2014 default | Roaming/Mozilla/Firefox/Profiles/x.default/places.sqlite",
            "Chrome \u2014 Profile 3 | Local/Google/Chrome/User Data/Profile 3/Bookmarks",
            "Edge \u2014 Default | Local/Microsoft/Edge/User Data/Default/Bookmarks"}));
}

TEST(BrowserProfilesTest, PathsChosenByHandNameTheirProfile) {
    TempDir root;
    touch(root / ".librewolf/p.default/places.sqlite");
    std::optional<BrowserProfile> folder = profile_for_path(root / ".librewolf/p.default", {});
    ASSERT_TRUE(folder);
    EXPECT_EQ(profile_title(*folder), "LibreWolf \u2014 p.default");
    std::optional<BrowserProfile> file =
        profile_for_path(root / ".librewolf/p.default/places.sqlite", {});
    ASSERT_TRUE(file);
    EXPECT_EQ(file->folder, folder->folder) << "both name the same profile";

    touch(root / "Downloads/saved.json");
    std::optional<BrowserProfile> lone =
        profile_for_path(root / "Downloads/saved.json", BrowserFamily::Chromium);
    ASSERT_TRUE(lone);
    EXPECT_EQ(profile_title(*lone), "Chromium \u2014 saved.json");
    EXPECT_EQ(lone->folder, lone->file) << "a lone file is a profile of its own";

    // The content names the browser, whatever family the file was chosen with.
    write_file(root / "Downloads/firefox.json", R"({"guid": "root________", "children": []})");
    write_file(root / "Downloads/chromium.json", R"({"roots": {"other": {}}, "version": 1})");
    write_file(root / "Downloads/places.backup", std::string("SQLite format 3\0", 16));
    EXPECT_EQ(
        profile_title(*profile_for_path(root / "Downloads/firefox.json", BrowserFamily::Chromium)),
        "Firefox \u2014 firefox.json");
    EXPECT_EQ(
        profile_title(*profile_for_path(root / "Downloads/chromium.json", BrowserFamily::Firefox)),
        "Chromium \u2014 chromium.json");
    EXPECT_EQ(profile_for_path(root / "Downloads/places.backup", BrowserFamily::Chromium)->family,
              BrowserFamily::Firefox);

    fs::create_directories(root / "empty");
    EXPECT_FALSE(profile_for_path(root / "empty", {}));
}

// The real files other programs wrote, read folder by folder.
struct FixtureCase {
    const char* file;
    std::vector<std::pair<std::string, int>> folders;  // root folder and links in its subtree
};

TEST(BrowserProfilesTest, RealProfileFilesReadFolderByFolder) {
    const std::vector<FixtureCase> cases{
        // An older schema, loaded from the text dump: no unfiled or mobile root yet.
        {"browsers/buku/places.sql", {{"Bookmarks Menu", 10}, {"Bookmarks Toolbar", 5}}},
        {"browsers/buku/Bookmarks",
         {{"Bookmarks bar", 42}, {"Other bookmarks", 1}, {"Mobile bookmarks", 0}}},
        {"browsers/browser-history/linux-chromium/Bookmarks",
         {{"Bookmarks bar", 5}, {"Other bookmarks", 0}, {"Mobile bookmarks", 0}}},
        {"browsers/browser-history/linux-firefox/places.sqlite",
         {{"Bookmarks Menu", 0},
          {"Bookmarks Toolbar", 30},
          {"Other Bookmarks", 0},
          {"Mobile Bookmarks", 0}}},
        {"browsers/bookmarks-converter/bookmarks_chrome.json",
         {{"Bookmarks bar", 16}, {"Other bookmarks", 6}, {"Mobile bookmarks", 5}}},
        {"browsers/bookmarks-converter/bookmarks_firefox.json",
         {{"Bookmarks Menu", 5},
          {"Bookmarks Toolbar", 16},
          {"Other Bookmarks", 6},
          {"Mobile Bookmarks", 5}}},
        {"browsers/browser-bookmarks-nvim/chrome-default/Bookmarks",
         {{"Bookmarks bar", 3}, {"Other bookmarks", 0}, {"Mobile bookmarks", 0}}},
    };
    for (const FixtureCase& c : cases) {
        SCOPED_TRACE(c.file);
        TB_SHARED_FIXTURE_OR_SKIP(fixture, c.file);
        fs::path file = fixture;
        RecordingReporter reporter;
        TempDir made;
        if (file.extension() == ".sql") {
            file = made / "places.sqlite";
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(file.string().c_str(), &db), SQLITE_OK);
            EXPECT_EQ(sqlite3_exec(db, read_file(shared_fixture(c.file)).c_str(), nullptr, nullptr,
                                   nullptr),
                      SQLITE_OK);
            sqlite3_close(db);
        }
        std::optional<BrowserItem> tree = read_browser_bookmarks(file, reporter);
        ASSERT_TRUE(tree) << (reporter.messages.empty() ? "" : render(reporter.messages[0]));
        std::vector<std::pair<std::string, int>> folders;
        for (const BrowserItem& root : tree->children) {
            folders.emplace_back(root.title, count_browser_links(root));
        }
        EXPECT_EQ(folders, c.folders);
    }
}

}  // namespace

}  // namespace tb::test
