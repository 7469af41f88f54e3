#include "exchange/shortcut_import.h"

#include "import_fixture.h"
#include "platform/messages.h"

namespace tb::test {
namespace {

namespace fs = std::filesystem;

TEST(InternetShortcutTest, ReadsTheUrlLikeTheProfileFunctions) {
    EXPECT_EQ(internet_shortcut_url("[InternetShortcut]\nURL=http://a.example/\n"),
              "http://a.example/");
    EXPECT_EQ(internet_shortcut_url("\xEF\xBB\xBF[internetshortcut]\r\nurl =  http://b/  \r\n"),
              "http://b/");
    EXPECT_EQ(internet_shortcut_url("[Other]\nURL=http://no/\n[InternetShortcut]\nIconIndex=1\n"),
              "");
    EXPECT_EQ(internet_shortcut_url("URL=http://outside/\n"), "");
    EXPECT_EQ(internet_shortcut_url(""), "");
}

class ShortcutTest : public ImportTest {
protected:
    void SetUp() override {
        ImportTest::SetUp();
        root = dir / "Links";
        shortcut(root / "One.URL", "http://one.example/");
        shortcut(root / "two.url", "http://two.example/");
        shortcut(root / ".url", "http://nameless.example/");
        write_file(root / "notes.url.txt", "[InternetShortcut]\nURL=http://no.example/\n");
        write_file(root / "nourl.url", "[InternetShortcut]\nIconFile=x\n");
        shortcut(root / "Sub" / "Deep" / "three.url", "http://three.example/");
        fs::create_directories(root / "Empty");
        shortcut(root / "folder.url" / "inner.url", "http://inner.example/");
    }

    static void shortcut(const fs::path& file, const std::string& url) {
        write_file(file, "[InternetShortcut]\r\nURL=" + url + "\r\n");
    }

    fs::path root;
};

TEST_F(ShortcutTest, MirrorsTheFolderTree) {
    ImportResult result = import(ImportSource::Shortcuts, root);
    ASSERT_EQ(result.status, ImportStatus::Done);
    EXPECT_EQ(result.top_title, "Links");
    EXPECT_EQ(
        tree(result.top_folder),
        (std::vector<std::string>{
            "D Empty", "D Sub", "D Sub/Deep", "D folder.url", "L . |  | http://nameless.example/",
            "L . | One | http://one.example/", "L . | nourl | ", "L . | two | http://two.example/",
            "L Sub/Deep | three | http://three.example/",
            "L folder.url | inner | http://inner.example/"}));
}

TEST_F(ShortcutTest, IgnoreStructurePutsEveryShortcutInTheTopFolder) {
    ImportResult result = import(ImportSource::Shortcuts, root, {.ignore_structure = true});
    EXPECT_EQ(result.folders, 1);
    EXPECT_EQ(result.links, 6);
    EXPECT_EQ(model->links.links_in(result.top_folder).size(), 6u);
}

TEST_F(ShortcutTest, NotRecursiveTakesAShortcutFolderForAnEmptyLink) {
    ImportResult result = import(ImportSource::Shortcuts, root, {.recursive = false});
    EXPECT_EQ(tree(result.top_folder),
              (std::vector<std::string>{"L . |  | http://nameless.example/",
                                        "L . | One | http://one.example/", "L . | folder | ",
                                        "L . | nourl | ", "L . | two | http://two.example/"}));
}

TEST_F(ShortcutTest, SkipsLinksItCannotFollow) {
    fs::create_directory_symlink(root, root / "Sub" / "loop");
    fs::create_symlink(root / "missing.url", root / "broken.url");
    fs::create_symlink(root / "One.URL", root / "alias.url");
    ImportResult result = import(ImportSource::Shortcuts, root);
    ASSERT_EQ(result.status, ImportStatus::Done);
    EXPECT_EQ(result.links, 7);
    std::string log = read_file(dir / "tagberry.log");
    EXPECT_NE(log.find("broken.url': broken link"), std::string::npos);
    EXPECT_NE(log.find("loop': folder links are not followed"), std::string::npos);
}

TEST_F(ShortcutTest, RepeatedImportGetsAFreeTitleAndAMissingFolderIsReported) {
    import(ImportSource::Shortcuts, root);
    ImportResult again = import(ImportSource::Shortcuts, root);
    EXPECT_EQ(again.top_title, "Links-01");
    EXPECT_FALSE(reporter.has(msg::kDuplicateFolderName));
    const auto folders_before = count("SELECT COUNT(*) FROM tb_folders");
    ImportResult missing = import(ImportSource::Shortcuts, dir / "nowhere");
    EXPECT_EQ(missing.status, ImportStatus::Failed);
    ASSERT_FALSE(reporter.messages.empty());
    EXPECT_NE(render(reporter.messages.back()).find("nowhere"), std::string::npos);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders"), folders_before);
}

TEST_F(ShortcutTest, FavouritesComeFromTheWinePrefix) {
    ::setenv("USER", "tester", 1);
    fs::path favourites = dir / "wine/drive_c/users/tester/Favorites";
    shortcut(favourites / "fav.url", "http://fav.example/");
    ::setenv("WINEPREFIX", (dir / "wine").c_str(), 1);
    ImportResult result = import(ImportSource::Favourites, {});
    EXPECT_EQ(result.top_title, "Internet Explorer Bookmarks");
    EXPECT_EQ(result.links, 1);
    ::setenv("WINEPREFIX", (dir / "nowine").c_str(), 1);
    ImportResult none = import(ImportSource::Favourites, {});
    ::unsetenv("WINEPREFIX");
    EXPECT_EQ(none.status, ImportStatus::Failed);
    EXPECT_TRUE(reporter.has(msg::kNoFavouritesFolder));
}

}  // namespace
}  // namespace tb::test
