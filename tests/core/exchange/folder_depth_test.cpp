#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>

#include "exchange/browser_import.h"
#include "exchange/folder_depth.h"
#include "import_fixture.h"
#include "storage/ids.h"

namespace tb::test {
namespace {

namespace fs = std::filesystem;

// Every source below holds a chain of `levels` folders F0 > F1 > ..., folder Fi holding the one
// link Li to http://li.example/.
std::string link_url(int i) {
    return "http://l" + std::to_string(i) + ".example/";
}

fs::path write_bookmark_file(const fs::path& dir, int levels) {
    std::string text = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
    for (int i = 0; i < levels; ++i) {
        const std::string n = std::to_string(i);
        text += "<DT><H3>F" + n + "</H3>\n<DL><p>\n<DT><A HREF=\"" + link_url(i) + "\">L" + n +
                "</A>\n";
    }
    for (int i = 0; i <= levels; ++i) {
        text += "</DL><p>\n";
    }
    write_file(dir / "deep.html", text);
    return dir / "deep.html";
}

fs::path write_legacy_files(const fs::path& dir, int levels) {
    std::string folders, members, links;
    for (int i = 0; i < levels; ++i) {
        const std::string n = std::to_string(i);
        folders += n + ";F" + n + ";" + std::to_string(i - 1) + "\n";
        members += n + ";" + n + "\n";
        links += n + ";L" + n + ";" + link_url(i) + ";;0\n";
    }
    fs::path legacy = dir / "legacy";
    write_file(legacy / "data.dbf", folders);
    write_file(legacy / "data.dbd", members);
    write_file(legacy / "data.dbi", links);
    return legacy;
}

// A chain of JSON folders; `folder` and `link` open an item of the family and leave its
// children array open.
std::string json_chain(int levels, const std::function<std::string(const std::string&)>& folder,
                       const std::function<std::string(int)>& link) {
    std::string text;
    for (int i = 0; i < levels; ++i) {
        text += folder("F" + std::to_string(i)) + link(i) + (i + 1 < levels ? "," : "");
    }
    for (int i = 0; i < levels; ++i) {
        text += "]}";
    }
    return text;
}

fs::path write_chromium_file(const fs::path& dir, int levels) {
    std::string chain = json_chain(
        levels,
        [](const std::string& name) {
            return R"({"type":"folder","name":")" + name + R"(","children":[)";
        },
        [](int i) {
            return R"({"type":"url","name":"L)" + std::to_string(i) + R"(","url":")" + link_url(i) +
                   "\"}";
        });
    fs::path file = dir / "chromium" / "Bookmarks";
    write_file(file, R"({"roots":{"bookmark_bar":{"children":[)" + chain + "]}}}");
    return file;
}

fs::path write_firefox_backup(const fs::path& dir, int levels) {
    std::string chain = json_chain(
        levels,
        [](const std::string& title) {
            return R"({"type":"text/x-moz-place-container","title":")" + title +
                   R"(","children":[)";
        },
        [](int i) {
            return R"({"type":"text/x-moz-place","title":"L)" + std::to_string(i) + R"(","uri":")" +
                   link_url(i) + "\"}";
        });
    fs::path file = dir / "firefox" / "bookmarks.json";
    write_file(file, R"({"type":"text/x-moz-place-container","root":"placesRoot","children":[)"
                     R"({"type":"text/x-moz-place-container","root":"bookmarksMenuFolder",)"
                     R"("children":[)" +
                         chain + "]}]}");
    return file;
}

void exec(sqlite3* db, const char* sql) {
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
}

void insert_row(sqlite3_stmt* insert, std::initializer_list<std::int64_t> numbers,
                const std::string& text) {
    int column = 1;
    for (std::int64_t number : numbers) {
        sqlite3_bind_int64(insert, column++, number);
    }
    sqlite3_bind_text(insert, column, text.c_str(), -1, SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
    sqlite3_reset(insert);
}

// Folder Fi has id 10 + 2i and its link 11 + 2i, under the menu root.
fs::path write_places_database(const fs::path& dir, int levels) {
    fs::path file = dir / "places" / "places.sqlite";
    fs::create_directories(file.parent_path());
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(file.string().c_str(), &db), SQLITE_OK);
    exec(db,
         "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT, title TEXT);"
         "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER, "
         "parent INTEGER, position INTEGER, title TEXT, guid TEXT);"
         "INSERT INTO moz_bookmarks VALUES (1, 2, NULL, 0, 0, '', 'root________'),"
         "(2, 2, NULL, 1, 0, 'menu', 'menu________');"
         "BEGIN");
    sqlite3_stmt* place = nullptr;
    sqlite3_stmt* bookmark = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO moz_places (id, url) VALUES (?, ?)", -1, &place, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title) "
                       "VALUES (?, ?, ?, ?, ?, ?)",
                       -1, &bookmark, nullptr);
    for (int i = 0; i < levels; ++i) {
        const int folder = 10 + 2 * i;
        insert_row(bookmark, {folder, 2, 0, i == 0 ? 2 : folder - 2, 1}, "F" + std::to_string(i));
        insert_row(place, {i + 1}, link_url(i));
        insert_row(bookmark, {folder + 1, 1, i + 1, folder, 0}, "L" + std::to_string(i));
    }
    sqlite3_finalize(place);
    sqlite3_finalize(bookmark);
    exec(db, "COMMIT");
    sqlite3_close(db);
    return file;
}

struct DepthSource {
    const char* name;
    ImportSource source;
    // The level F0 lands at: below the import's top folder, and a browser's root folder.
    int first_level;
    fs::path (*write)(const fs::path& dir, int levels);
};

const DepthSource kSources[] = {
    {"BookmarkFile", ImportSource::BookmarkFile, 2, write_bookmark_file},
    {"Legacy", ImportSource::LegacyDatabase, 2, write_legacy_files},
    {"Chromium", ImportSource::BrowserProfile, 3, write_chromium_file},
    {"FirefoxBackup", ImportSource::BrowserProfile, 3, write_firefox_backup},
    {"Places", ImportSource::BrowserProfile, 3, write_places_database},
};

class FolderDepthTest : public ImportTest,
                        public ::testing::WithParamInterface<std::tuple<DepthSource, int>> {
protected:
    // How many folders lie at each level, from the stored parents; the root is level 0.
    std::map<int, int> folders_by_level() {
        std::unordered_map<int, int> parent_of;
        std::optional<Statement> rows = db->prepare("SELECT id, parent FROM tb_folders");
        while (rows && rows->step() == Step::Row) {
            parent_of[rows->integer(0)] = rows->integer(1);
        }
        std::map<int, int> by_level;
        for (const auto& [id, parent] : parent_of) {
            int level = 0;
            for (int at = id; at != kRootFolder && level <= 2 * kMaxFolderDepth;
                 at = parent_of[at]) {
                ++level;
            }
            ++by_level[level];
        }
        return by_level;
    }
};

TEST_P(FolderDepthTest, DeeperFoldersAreAttachedAtTheLimitWithTheirLinks) {
    const auto& [source, levels] = GetParam();
    const fs::path path = source.write(dir.path(), levels);
    ImportResult result = import(source.source, path);
    ASSERT_EQ(result.status, ImportStatus::Done) << ::testing::PrintToString(reporter.messages);

    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_links"), levels);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders WHERE title GLOB 'F[0-9]*'"), levels);
    // Each link stays in its own folder.
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_links l JOIN tb_folders f ON f.id = l.parent "
                    "WHERE f.title = 'F' || substr(l.title, 2) AND l.url = 'http://l' || "
                    "substr(l.title, 2) || '.example/'"),
              levels);

    const int attached = source.first_level + levels - 1 - kMaxFolderDepth;
    std::map<int, int> by_level = folders_by_level();
    EXPECT_EQ(by_level.rbegin()->first, kMaxFolderDepth);
    EXPECT_EQ(by_level[kMaxFolderDepth], attached + 1);
    EXPECT_EQ(by_level[1], 1);

    const std::string log = read_file(dir / "tagberry.log");
    const std::string line = "Import: " + std::to_string(attached) +
                             " folders nested deeper than 2048 levels were attached at level 2048.";
    EXPECT_NE(log.find(line), std::string::npos) << log.substr(0, 500);
    EXPECT_EQ(log.find("Import: "), log.rfind("Import: "));
}

INSTANTIATE_TEST_SUITE_P(Importers, FolderDepthTest,
                         ::testing::Combine(::testing::ValuesIn(kSources),
                                            ::testing::Values(kMaxFolderDepth + 5, 10000)),
                         [](const ::testing::TestParamInfo<FolderDepthTest::ParamType>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::to_string(std::get<1>(info.param)) + "Levels";
                         });

// The deepest level of a folder in a tree read from a browser, the tree's top being level 0.
int deepest_level(const BrowserItem& tree) {
    int deepest = 0;
    std::vector<std::pair<const BrowserItem*, int>> pending{{&tree, 0}};
    while (!pending.empty()) {
        auto [item, level] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, level);
        for (const BrowserItem& child : item->children) {
            if (child.is_folder) {
                pending.emplace_back(&child, level + 1);
            }
        }
    }
    return deepest;
}

// The browser readers walk a source far deeper than any stack with a stack of their own.
TEST(BrowserReaderDepthTest, AHundredThousandLevelsAreReadWithinTheLimit) {
    constexpr int kLevels = 100000;
    TempDir dir;
    for (const DepthSource& source : kSources) {
        if (source.source != ImportSource::BrowserProfile) {
            continue;
        }
        SCOPED_TRACE(source.name);
        RecordingReporter reporter;
        std::optional<BrowserItem> tree =
            read_browser_bookmarks(source.write(dir.path(), kLevels), reporter);
        ASSERT_TRUE(tree.has_value());
        EXPECT_TRUE(reporter.messages.empty());
        EXPECT_EQ(count_browser_links(*tree), kLevels);
        EXPECT_EQ(deepest_level(*tree), kMaxFolderDepth);
    }
}

using FolderDepthImportTest = ImportTest;

TEST_F(FolderDepthImportTest, ATreeWithinTheLimitIsKeptWholeAndNotLogged) {
    const int levels = kMaxFolderDepth - 2;
    ImportResult result =
        import(ImportSource::BrowserProfile, write_chromium_file(dir.path(), levels));
    ASSERT_EQ(result.status, ImportStatus::Done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders f JOIN tb_folders p ON p.id = f.parent "
                    "WHERE f.title LIKE 'F%' AND p.title <> 'F' || (substr(f.title, 2) - 1)"),
              1);
    EXPECT_EQ(count("SELECT parent FROM tb_folders WHERE title = 'F0'"),
              count("SELECT id FROM tb_folders WHERE title = 'Bookmarks bar'"));
    EXPECT_EQ(read_file(dir / "tagberry.log").find("Import: "), std::string::npos);
}

TEST_F(FolderDepthImportTest, UpdatingADeepProfileFindsTheFoldersAttachedAtTheLimit) {
    const fs::path file = write_chromium_file(dir.path(), kMaxFolderDepth + 5);
    ImportOptions update;
    update.update_earlier = true;
    ASSERT_EQ(import(ImportSource::BrowserProfile, file, update).status, ImportStatus::Done);
    const std::int64_t folders = count("SELECT COUNT(*) FROM tb_folders");

    std::string text = read_file(file);
    text.insert(text.find(R"(]}]})"), R"(,{"type":"url","name":"New","url":"http://new/"})");
    write_file(file, text);
    ImportResult again = import(ImportSource::BrowserProfile, file, update);
    ASSERT_EQ(again.status, ImportStatus::Done);
    EXPECT_EQ(again.links, 1);
    EXPECT_EQ(again.folders, 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders"), folders);
    EXPECT_EQ(count("SELECT parent FROM tb_links WHERE url = 'http://new/'"),
              count("SELECT id FROM tb_folders WHERE title = 'F" +
                    std::to_string(kMaxFolderDepth + 4) + "'"));
}

// A damaged table without its key may list a folder's id among its own children: the walk, which
// no depth refusal stops any more, takes each folder's children once and ends.
TEST_F(FolderDepthImportTest, APlacesFolderListedInsideItselfIsReadOnce) {
    fs::path file = dir / "loop" / "places.sqlite";
    fs::create_directories(file.parent_path());
    sqlite3* places = nullptr;
    ASSERT_EQ(sqlite3_open(file.string().c_str(), &places), SQLITE_OK);
    exec(places,
         "CREATE TABLE moz_places (id INTEGER, url TEXT, title TEXT);"
         "CREATE TABLE moz_bookmarks (id INTEGER, type INTEGER, fk INTEGER, parent INTEGER, "
         "position INTEGER, title TEXT, guid TEXT);"
         "INSERT INTO moz_places VALUES (1, 'http://inside.example/', NULL);"
         "INSERT INTO moz_bookmarks VALUES (1, 2, NULL, 0, 0, '', 'root________'),"
         "(2, 2, NULL, 1, 0, 'menu', 'menu________'), (10, 2, NULL, 2, 0, 'Loop', 'a'),"
         "(10, 2, NULL, 10, 0, 'Again', 'b'), (11, 1, 1, 10, 1, 'Inside', 'c');");
    sqlite3_close(places);

    ImportResult result = import(ImportSource::BrowserProfile, file);
    ASSERT_EQ(result.status, ImportStatus::Done);
    EXPECT_EQ(tree(result.top_folder),
              (std::vector<std::string>{
                  "D Bookmarks Menu", "D Bookmarks Menu/Loop", "D Bookmarks Menu/Loop/Again",
                  "L Bookmarks Menu/Loop | Inside | http://inside.example/"}));
}

}  // namespace
}  // namespace tb::test
