#include <gtest/gtest.h>
#include <lz4.h>
#include <sqlite3.h>

#include <string>

#include "exchange/browser_import.h"
#include "exchange/firefox_places.h"
#include "import_fixture.h"

namespace tb::test {

namespace {

namespace fs = std::filesystem;

// The tables a current Firefox profile creates, as the browser writes them.
constexpr const char* kPlacesSchema =
    "CREATE TABLE moz_places (   id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, "
    "rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, "
    "typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date "
    "INTEGER , guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL, url_hash INTEGER DEFAULT 0 "
    "NOT NULL , description TEXT, preview_image_url TEXT, origin_id INTEGER REFERENCES "
    "moz_origins(id));"
    "CREATE TABLE moz_bookmarks (  id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT "
    "NULL, parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type "
    "TEXT, dateAdded INTEGER, lastModified INTEGER, guid TEXT, syncStatus INTEGER NOT NULL "
    "DEFAULT 0, syncChangeCounter INTEGER NOT NULL DEFAULT 1);"
    "CREATE TABLE moz_origins ( id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host TEXT NOT "
    "NULL, frecency INTEGER NOT NULL, UNIQUE (prefix, host) );"
    "INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) VALUES "
    "(1, 2, 0, 0, '', 'root________'), (2, 2, 1, 0, 'menu', 'menu________'),"
    "(3, 2, 1, 1, 'toolbar', 'toolbar_____'), (4, 2, 1, 2, 'tags', 'tags________'),"
    "(5, 2, 1, 3, 'unfiled', 'unfiled_____'), (6, 2, 1, 4, 'mobile', 'mobile______');";

void exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << (error != nullptr ? error : "") << " in " << sql;
}

// A places database made and written the way the browser does.
class Places {
public:
    explicit Places(const fs::path& file) {
        bool fresh = !fs::exists(file);
        EXPECT_EQ(sqlite3_open(file.string().c_str(), &db_), SQLITE_OK);
        if (fresh) {
            exec(db_, kPlacesSchema);
        }
    }
    ~Places() { sqlite3_close(db_); }

    void add_link(int id, int parent, int position, const std::string& title,
                  const std::string& url, const std::string& guid) {
        exec(db_, "INSERT INTO moz_places (id, url, title) VALUES (" + std::to_string(id) + ", '" +
                      url + "', 'page title')");
        exec(db_,
             "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid) "
             "VALUES (" +
                 std::to_string(id) + ", 1, " + std::to_string(id) + ", " + std::to_string(parent) +
                 ", " + std::to_string(position) + ", " +
                 (title.empty() ? "NULL" : "'" + title + "'") + ", '" + guid + "')");
    }
    void add_folder(int id, int parent, int position, const std::string& title) {
        exec(db_, "INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) VALUES (" +
                      std::to_string(id) + ", 2, " + std::to_string(parent) + ", " +
                      std::to_string(position) + ", '" + title + "', 'folder" + std::to_string(id) +
                      "')");
    }
    void add_separator(int id, int parent, int position) {
        exec(db_, "INSERT INTO moz_bookmarks (id, type, parent, position, guid) VALUES (" +
                      std::to_string(id) + ", 3, " + std::to_string(parent) + ", " +
                      std::to_string(position) + ", 'sep" + std::to_string(id) + "')");
    }
    sqlite3* handle() { return db_; }

private:
    sqlite3* db_ = nullptr;
};

std::string mozlz4(const std::string& text) {
    std::string out("mozLz40\0", 8);
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>((text.size() >> (8 * i)) & 0xFF));
    }
    std::string block(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(text.size()))),
                      '\0');
    int size = LZ4_compress_default(text.data(), block.data(), static_cast<int>(text.size()),
                                    static_cast<int>(block.size()));
    return out + block.substr(0, static_cast<std::size_t>(size));
}

class BrowserImportTest : public ImportTest {
protected:
    ImportResult import_profile(const fs::path& path, bool update = false) {
        ImportOptions options;
        options.update_earlier = update;
        return import(ImportSource::BrowserProfile, path, options);
    }

    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const Message& message : reporter.messages) {
            texts.push_back(render(message));
        }
        return texts;
    }

    // Nothing of a refused import may stay behind.
    void expect_nothing_imported(const ImportResult& result) {
        EXPECT_EQ(result.status, ImportStatus::Failed);
        EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders"), 1);
        EXPECT_EQ(count("SELECT COUNT(*) FROM tb_links"), 0);
        EXPECT_EQ(count("SELECT COUNT(*) FROM tb_browser_imports"), 0);
        EXPECT_EQ(reporter.messages.size(), 1u) << ::testing::PrintToString(messages());
    }

    fs::path firefox_profile() {
        fs::path profile = dir / "ff" / "abc.default-release";
        fs::create_directories(profile);
        Places places(profile / "places.sqlite");
        places.add_folder(10, 2, 0, "News");
        places.add_link(11, 10, 0, "Daily", "https://daily.example/", "linkDaily");
        places.add_separator(12, 2, 1);
        places.add_link(13, 2, 2, "", "https://untitled.example/", "linkUntitled");
        places.add_link(14, 3, 0, "Query", "place:sort=8&maxResults=10", "linkQuery");
        places.add_link(15, 3, 1, "Tool", "https://tool.example/", "linkTool");
        places.add_folder(16, 4, 0, "mytag");
        places.add_link(17, 16, 0, "", "https://daily.example/", "linkTagEntry");
        places.add_link(18, 5, 0, "Other", "https://other.example/", "linkOther");
        return profile;
    }
};

TEST_F(BrowserImportTest, FirefoxDatabaseKeepsRootsAndFoldersAndLeavesOutTagsAndQueries) {
    fs::path profile = firefox_profile();
    ImportResult result = import_profile(profile);
    ASSERT_EQ(result.status, ImportStatus::Done) << ::testing::PrintToString(messages());
    EXPECT_EQ(result.top_title, "Firefox \u2014 abc.default-release");
    EXPECT_EQ(result.links, 4);
    EXPECT_EQ(
        tree(result.top_folder),
        (std::vector<std::string>{"D Bookmarks Menu", "D Bookmarks Menu/News",
                                  "D Bookmarks Toolbar", "D Mobile Bookmarks", "D Other Bookmarks",
                                  "L Bookmarks Menu | page title | https://untitled.example/",
                                  "L Bookmarks Menu/News | Daily | https://daily.example/",
                                  "L Bookmarks Toolbar | Tool | https://tool.example/",
                                  "L Other Bookmarks | Other | https://other.example/"}));
}

TEST_F(BrowserImportTest, UpdateAddsOnlyNewItemsAndKeepsTheUsersEdits) {
    fs::path profile = firefox_profile();
    ImportResult first = import_profile(profile);
    ASSERT_EQ(first.status, ImportStatus::Done);

    ImportResult again = import_profile(profile, true);
    ASSERT_EQ(again.status, ImportStatus::Done);
    EXPECT_EQ(again.top_folder, first.top_folder);
    EXPECT_EQ(again.links, 0);
    EXPECT_EQ(again.links_present, 4);

    // The user renames one link and deletes another; the browser gains a bookmark.
    std::vector<Link> links = model->links.links();
    auto find = [&](const std::string& url) {
        return std::find_if(links.begin(), links.end(),
                            [&](const Link& link) { return link.url == url; })
            ->id;
    };
    ASSERT_TRUE(model->links.edit_link(find("https://tool.example/"), "My tool",
                                       "https://tool.example/", ""));
    ASSERT_TRUE(model->links.delete_link(find("https://other.example/")));
    {
        Places places(profile / "places.sqlite");
        places.add_link(20, 10, 1, "Weekly", "https://weekly.example/", "linkWeekly");
    }
    ImportResult third = import_profile(profile, true);
    ASSERT_EQ(third.status, ImportStatus::Done);
    EXPECT_EQ(third.links, 1);
    EXPECT_EQ(third.links_present, 4);
    std::vector<std::string> lines = tree(first.top_folder);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "L Bookmarks Menu/News | Weekly | https://weekly.example/"),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "L Bookmarks Toolbar | My tool | https://tool.example/"),
              lines.end());
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) {
                                return line.find("other.example") != std::string::npos;
                            }),
              0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders WHERE parent = 1"), 1);
}

TEST_F(BrowserImportTest, UpdateAfterTheTopFolderWasDeletedMakesANewOne) {
    fs::path profile = firefox_profile();
    ImportResult first = import_profile(profile);
    ASSERT_TRUE(model->folders.delete_folder(first.top_folder));
    ImportResult again = import_profile(profile, true);
    ASSERT_EQ(again.status, ImportStatus::Done);
    EXPECT_NE(again.top_folder, first.top_folder);
    EXPECT_EQ(again.links, 4);
}

TEST_F(BrowserImportTest, PlainImportAgainMakesASecondTopFolder) {
    fs::path profile = firefox_profile();
    ImportResult first = import_profile(profile);
    ImportResult second = import_profile(profile);
    EXPECT_NE(second.top_folder, first.top_folder);
    EXPECT_EQ(second.top_title, "Firefox \u2014 abc.default-release-01")
        << "made unique by the existing rule";
    EXPECT_EQ(second.links, 4);
}

// The browser keeps the database open in WAL mode: committed bookmarks may sit only in the WAL,
// and a transaction in progress may already have spilled pages into it.
TEST_F(BrowserImportTest, DatabaseHeldOpenByTheBrowserGivesCommittedBookmarksOnly) {
    fs::path profile = dir / "open-profile";
    fs::create_directories(profile);
    fs::path file = profile / "places.sqlite";
    Places browser(file);
    exec(browser.handle(), "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;");
    browser.add_link(30, 3, 0, "Committed", "https://committed.example/", "linkCommitted");
    exec(browser.handle(), "PRAGMA cache_size=1; BEGIN");
    for (int i = 0; i < 200; ++i) {
        browser.add_link(100 + i, 3, i + 1, "Pending " + std::to_string(i),
                         "https://pending.example/" + std::string(300, 'x') + std::to_string(i),
                         "pending" + std::to_string(i));
    }
    ASSERT_GT(fs::file_size(profile / "places.sqlite-wal"), 8192u);

    ImportResult result = import_profile(profile);
    // The browser goes on undisturbed.
    exec(browser.handle(), "COMMIT");
    ASSERT_EQ(result.status, ImportStatus::Done) << ::testing::PrintToString(messages());
    EXPECT_EQ(
        tree(result.top_folder),
        (std::vector<std::string>{"D Bookmarks Menu", "D Bookmarks Toolbar", "D Mobile Bookmarks",
                                  "D Other Bookmarks",
                                  "L Bookmarks Toolbar | Committed | https://committed.example/"}));
}

TEST_F(BrowserImportTest, CompressedBackupAndChromiumFileImport) {
    std::string json = R"({"guid":"root________","type":"text/x-moz-place-container",
        "root":"placesRoot","children":[
        {"guid":"toolbar_____","title":"toolbar","root":"toolbarFolder",
         "type":"text/x-moz-place-container","children":[
           {"guid":"aaa","title":"A","type":"text/x-moz-place","uri":"https://a.example/"},
           {"guid":"sep","type":"text/x-moz-place-separator"}]},
        {"guid":"tags________","root":"tagsFolder","type":"text/x-moz-place-container",
         "children":[{"title":"t","type":"text/x-moz-place-container","children":[
           {"type":"text/x-moz-place","uri":"https://a.example/"}]}]}]})";
    fs::path backups = dir / "gone-profile" / "bookmarkbackups";
    fs::create_directories(backups);
    write_file(backups / "bookmarks-2026-01-01_1_abc.jsonlz4", mozlz4(json));
    ImportResult firefox = import_profile(dir / "gone-profile");
    ASSERT_EQ(firefox.status, ImportStatus::Done) << ::testing::PrintToString(messages());
    EXPECT_EQ(firefox.top_title, "Firefox \u2014 gone-profile");
    EXPECT_EQ(tree(firefox.top_folder),
              (std::vector<std::string>{"D Bookmarks Toolbar",
                                        "L Bookmarks Toolbar | A | https://a.example/"}));

    fs::path chromium = dir / ".config" / "BraveSoftware" / "Brave-Browser" / "Default";
    fs::create_directories(chromium);
    write_file(chromium / "Bookmarks", R"({"roots":{
        "bookmark_bar":{"children":[{"name":"Docs","type":"folder","children":[
            {"name":"Ref","type":"url","url":"https://ref.example/"}]}]},
        "other":{"children":[{"name":"Loose","url":"https://loose.example/"}]},
        "synced":{"children":[]}},"version":1})");
    ImportResult brave = import_profile(chromium / "Bookmarks");
    ASSERT_EQ(brave.status, ImportStatus::Done) << ::testing::PrintToString(messages());
    EXPECT_EQ(brave.top_title, "Brave \u2014 Default");
    EXPECT_EQ(tree(brave.top_folder),
              (std::vector<std::string>{"D Bookmarks bar", "D Bookmarks bar/Docs",
                                        "D Mobile bookmarks", "D Other bookmarks",
                                        "L Bookmarks bar/Docs | Ref | https://ref.example/",
                                        "L Other bookmarks | Loose | https://loose.example/"}));

    // Without ids, a second import matches by address within the top folder.
    ImportResult again = import_profile(chromium, true);
    EXPECT_EQ(again.top_folder, brave.top_folder);
    EXPECT_EQ(again.links, 0);
    EXPECT_EQ(again.links_present, 2);
}

TEST_F(BrowserImportTest, BrokenDatabasesAreRefusedAndLeaveNothing) {
    fs::path corrupt = dir / "corrupt" / "places.sqlite";
    fs::create_directories(corrupt.parent_path());
    std::string header("SQLite format 3\0", 16);
    write_file(corrupt, header + std::string(4000, '\x7f'));
    expect_nothing_imported(import_profile(corrupt));
    EXPECT_NE(messages().front().find("cannot be read"), std::string::npos) << messages().front();

    reporter.clear();
    fs::path unknown = dir / "unknown" / "places.sqlite";
    fs::create_directories(unknown.parent_path());
    {
        sqlite3* db = nullptr;
        sqlite3_open(unknown.string().c_str(), &db);
        exec(db, "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, name TEXT)");
        sqlite3_close(db);
    }
    expect_nothing_imported(import_profile(unknown));
    EXPECT_EQ(messages().front(),
              unknown.string() + " is not a browser bookmark database of a known version.");

    // A database's text dump is neither the database nor a backup, and is called so.
    reporter.clear();
    fs::path dump = dir / "dump" / "places.sql";
    write_file(dump,
               "PRAGMA foreign_keys=OFF;\nBEGIN TRANSACTION;\nCREATE TABLE moz_places (id);\n");
    expect_nothing_imported(import_profile(dump));
    EXPECT_EQ(messages().front(),
              dump.string() + " is neither a browser's bookmark database nor a bookmark backup.");
}

TEST_F(BrowserImportTest, BrokenBackupsAreRefusedAndLeaveNothing) {
    std::string good = mozlz4(R"({"children":[]})");
    struct Case {
        std::string name;
        std::string bytes;
        std::string message;
    };
    std::string huge = good.substr(0, 8) + std::string("\xff\xff\xff\x7f", 4) + good.substr(12);
    const std::vector<Case> cases{
        {"cut.jsonlz4", good.substr(0, good.size() - 3), "is cut short or damaged"},
        {"header.jsonlz4", good.substr(0, 10), "is cut short or damaged"},
        {"huge.jsonlz4", huge, "declares 2147483647 bytes"},
        {"types.json", R"({"roots":{"bookmark_bar":{"children":[{"name":5,"url":"x"}]}}})",
         "unexpected type at /roots/bookmark_bar/children/0/name"},
        {"children.json", R"({"children":{"a":1}})", "unexpected type at /children"},
        {"array.json", "[1, 2]", "unexpected type at /"},
        {"text.json", "{\"roots\": ", "is not valid JSON"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reporter.clear();
        write_file(dir / c.name, c.bytes);
        expect_nothing_imported(import_profile(dir / c.name));
        ASSERT_FALSE(reporter.messages.empty());
        EXPECT_NE(messages().front().find(c.message), std::string::npos) << messages().front();
    }
}

}  // namespace

}  // namespace tb::test
