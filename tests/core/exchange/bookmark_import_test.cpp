#include "exchange/bookmark_import.h"

#include "import_fixture.h"
#include "platform/messages.h"

namespace tb::test {
namespace {

class BookmarkFileTest : public ImportTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(BookmarkFileTest, ImportsTheTreeTheFileDescribes) {
    const std::string name = GetParam();
    ImportResult result =
        import(ImportSource::BookmarkFile, data_path("import/bookmarks/" + name + ".html"));
    ASSERT_EQ(result.status, ImportStatus::Done);
    EXPECT_EQ(result.top_title, "Mozilla Bookmarks");
    EXPECT_EQ(tree(result.top_folder), expected(data_path("import/expected/" + name + ".txt")));
    EXPECT_TRUE(reporter.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(OwnFixtures, BookmarkFileTest,
                         ::testing::Values("nested_crlf", "nested_bom", "nested_utf16le",
                                           "nested_utf16be", "edge_cases", "deep_first",
                                           "duplicate_siblings"));

class BrowserExportTest : public ImportTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(BrowserExportTest, EveryLinkLandsInItsFolder) {
    const std::string file = GetParam();
    TB_SHARED_FIXTURE_OR_SKIP(path, "bookmarks/" + file);
    ImportResult result = import(ImportSource::BookmarkFile, path);
    ASSERT_EQ(result.status, ImportStatus::Done);
    std::string stem = std::filesystem::path(file).stem().string();
    std::vector<std::string> want = expected(data_path("import/expected/" + stem + ".txt"));
    EXPECT_EQ(tree(result.top_folder), want);
    EXPECT_EQ(result.links, std::count_if(want.begin(), want.end(),
                                          [](const std::string& l) { return l[0] == 'L'; }));
}

INSTANTIATE_TEST_SUITE_P(
    SharedFixtures, BrowserExportTest,
    ::testing::Values("firefox/firefox_nested.htm", "chromium/chromium_nested.htm",
                      "ie/internet_explorer_11_nested.htm", "safari/safari_folded.htm",
                      "google/google_bookmarks_nested.htm", "delicious/delicious.htm"));

TEST_F(ImportTest, FileWithoutASingleEntryImportsNothingAndSaysSo) {
    const std::vector<std::pair<std::string, std::string>> files = {
        {"empty.html", ""},
        {"notes.txt", "Remember to buy milk.\nhttp://example.com/ is a site.\n"},
        {"page.html",
         "<html><head><title>Page</title></head><body><h3>News</h3>"
         "<a href=\"http://example.com/\">Example</a></body></html>\n"},
        {"lists_only.html",
         "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<H1>B</H1>\n<DL><p>\n</DL><p>\n"}};
    const int roots_before = count("SELECT COUNT(*) FROM tb_folders");
    for (const auto& [name, text] : files) {
        write_file(dir / name, text);
        reporter.clear();
        ImportResult result = import(ImportSource::BookmarkFile, dir / name);
        EXPECT_EQ(result.status, ImportStatus::Failed) << name;
        EXPECT_EQ(result.top_folder, 0) << name;
        EXPECT_TRUE(reporter.has(msg::kNoBookmarkEntries)) << name;
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders"), roots_before);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_links"), 0);

    // Folders without links are still bookmarks.
    write_file(dir / "folders.html",
               "<DL><p>\n    <DT><H3>Empty</H3>\n    <DL><p>\n    </DL><p>\n");
    ImportResult folders = import(ImportSource::BookmarkFile, dir / "folders.html");
    ASSERT_EQ(folders.status, ImportStatus::Done);
    EXPECT_EQ(tree(folders.top_folder), std::vector<std::string>{"D Empty"});
}

TEST_F(ImportTest, RealEmptyBookmarkFileImportsNothing) {
    TB_SHARED_FIXTURE_OR_SKIP(empty, "bookmarks/misc/empty.htm");
    const int roots_before = count("SELECT COUNT(*) FROM tb_folders");
    EXPECT_EQ(import(ImportSource::BookmarkFile, empty).status, ImportStatus::Failed);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders"), roots_before);
}

TEST_F(ImportTest, AHeadingWithoutAListOfItsOwnIsAnEmptyFolder) {
    // A Mac browser's hotlist writes empty folders as bare headings, indented or not.
    for (const std::string indent : {"", "    "}) {
        const std::string file = "<DL><p>\n" + indent + "<DT><H3>Empty one</H3>\n" + indent +
                                 "<DT><H3>Full</H3>\n" + indent + "<DL><p>\n" + indent + indent +
                                 "<DT><H3>Empty inside</H3>\n" + indent + indent +
                                 "<DT><A HREF=\"http://in.example/\">In</A>\n" + indent +
                                 "</DL><p>\n" + indent + "<DT><H3>Empty last</H3>\n" +
                                 "</DL><p>\n" + "<DT><A HREF=\"http://out.example/\">Out</A>\n";
        write_file(dir / "hotlist.html", file);
        ImportResult result = import(ImportSource::BookmarkFile, dir / "hotlist.html");
        ASSERT_EQ(result.status, ImportStatus::Done);
        EXPECT_EQ(tree(result.top_folder),
                  (std::vector<std::string>{
                      "D Empty last", "D Empty one", "D Full", "D Full/Empty inside",
                      "L . | Out | http://out.example/", "L Full | In | http://in.example/"}))
            << "indent '" << indent << "'";
    }
}

TEST_F(ImportTest, BytesThatAreNotUtf8AreReadInTheDeclaredCharset) {
    struct Case {
        std::string head;
        std::string title_bytes;
        std::string title;
    };
    const std::vector<Case> cases = {
        {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=x-mac-roman\">",
         "K\x8A"
         "se",
         "Käse"},
        {"<META CONTENT=\"text/html; charset=X-MAC-SYSTEM\">", "\x80\x9A", "Äö"},
        {"<meta charset=\"windows-1251\">", "\xCF\xF0\xE8\xE2\xE5\xF2", "Привет"},
        {"<meta charset=\"shift_jis\">", "\x93\xFA\x96\x7B", "日本"},
        // Valid UTF-8 stays UTF-8 whatever the file declares.
        {"<meta charset=\"windows-1252\">", "Käse", "Käse"},
        // A file that declares nothing keeps invalid bytes as U+FFFD.
        {"<TITLE>Bookmarks</TITLE>",
         "K\x8A"
         "se",
         "K\xEF\xBF\xBDse"},
    };
    for (const Case& c : cases) {
        write_file(dir / "b.html", c.head + "\n<DL><p>\n<DT><A HREF=\"http://x.example/\">" +
                                       c.title_bytes + "</A>\n</DL><p>\n");
        ImportResult result = import(ImportSource::BookmarkFile, dir / "b.html");
        ASSERT_EQ(result.status, ImportStatus::Done) << c.head;
        EXPECT_EQ(tree(result.top_folder),
                  std::vector<std::string>{"L . | " + c.title + " | http://x.example/"})
            << c.head;
    }
}

TEST_F(ImportTest, ImportedTitlesAndAddressesHoldNoControlCharacters) {
    write_file(dir / "b.html",
               "<DL><p>\n<DT><H3>Folder\t\x1B[2J</H3>\n<DL><p>\n"
               "<DT><A HREF=\"  http://a.example/\tpath \">Tab\tand\x07 bell</A>\n"
               "</DL><p>\n</DL><p>\n");
    ImportResult result = import(ImportSource::BookmarkFile, dir / "b.html");
    ASSERT_EQ(result.status, ImportStatus::Done);
    EXPECT_EQ(tree(result.top_folder),
              (std::vector<std::string>{"D Folder [2J",
                                        "L Folder [2J | Tab and bell | http://a.example/path"}));
}

TEST(BookmarkLineTest, WholeLinePatterns) {
    using Kind = BookmarkLine::Kind;
    EXPECT_EQ(classify_bookmark_line("    <DT><H3 A=\"1\">T</H3>").kind, Kind::Folder);
    EXPECT_EQ(classify_bookmark_line("    <DT><H3>T</H3> ").kind, Kind::Other);
    EXPECT_EQ(classify_bookmark_line("<dt><h3>T</h3>").kind, Kind::Other);
    EXPECT_EQ(classify_bookmark_line("  </DL><p>").kind, Kind::ListEnd);
    EXPECT_EQ(classify_bookmark_line("</DL>").kind, Kind::ListEnd);
    EXPECT_EQ(classify_bookmark_line("</DL><p> ").kind, Kind::Other);
    EXPECT_EQ(classify_bookmark_line("<DT><AHREF=\"x\">t</A>").kind, Kind::Other);
    EXPECT_EQ(classify_bookmark_line("<DT><A HREF=\"x\"</A>").kind, Kind::Other);

    BookmarkLine link = classify_bookmark_line("\t<DT><A HREF=\"a&amp;b\" X=\"1\">t</A>");
    EXPECT_EQ(link.kind, Kind::Link);
    EXPECT_EQ(link.address, "a&amp;b");
    EXPECT_EQ(link.title, "t");
    EXPECT_EQ(link.indent, 4u);

    BookmarkLine later = classify_bookmark_line("<DT><A ICON=\"i\" HREF=\"u\">t</A>");
    EXPECT_EQ(later.kind, Kind::Link);
    EXPECT_EQ(later.address, "u");
    // HREF inside the title is not an attribute.
    EXPECT_EQ(classify_bookmark_line("<DT><A NAME=\"n\">x HREF=\"u\"</A>").kind, Kind::Other);

    BookmarkLine separated = classify_bookmark_line("  <HR>    <DT><H3>F</H3>");
    EXPECT_EQ(separated.kind, Kind::Folder);
    EXPECT_EQ(separated.indent, 2u);
}

TEST(BookmarkLineTest, DepthFromIndentation) {
    EXPECT_EQ(folder_depth(0), 0);
    EXPECT_EQ(folder_depth(1), 1);
    EXPECT_EQ(folder_depth(7), 1);
    EXPECT_EQ(folder_depth(8), 2);
    EXPECT_EQ(folder_depth(11), 2);
    EXPECT_EQ(folder_depth(12), 3);
}

const char* kTwoFolders =
    "<DL><p>\n"
    "    <DT><H3>A</H3>\n"
    "    <DL><p>\n"
    "        <DT><A HREF=\"http://known.example/\">Known</A>\n"
    "        <DT><H3>B</H3>\n"
    "        <DL><p>\n"
    "            <DT><A HREF=\"http://new.example/\">New one</A>\n"
    "        </DL><p>\n"
    "    </DL><p>\n"
    "    <DT><A HREF=\"http://new.example/\">New again</A>\n"
    "</DL><p>\n";

TEST_F(ImportTest, IgnoreStructurePutsEveryLinkInTheTopFolderInFileOrder) {
    write_file(dir / "b.html", kTwoFolders);
    ImportResult result =
        import(ImportSource::BookmarkFile, dir / "b.html", {.ignore_structure = true});
    ASSERT_EQ(result.status, ImportStatus::Done);
    EXPECT_EQ(result.folders, 1);
    std::vector<Link> links = model->links.links_in(result.top_folder);
    ASSERT_EQ(links.size(), 3u);
    std::sort(links.begin(), links.end(), [](auto& a, auto& b) { return a.id < b.id; });
    EXPECT_EQ(links[0].title, "Known");
    EXPECT_EQ(links[2].title, "New again");
}

TEST_F(ImportTest, IgnoreExistingDropsKnownAddressesButKeepsRepeatedNewOnes) {
    NewLinkRequest known{.parent = model->folders.create_folder("Old", kRootFolder),
                         .title = "k",
                         .url = "http://known.example/"};
    ASSERT_NE(model->links.add_new_link(known), 0);
    write_file(dir / "b.html", kTwoFolders);
    ImportResult result =
        import(ImportSource::BookmarkFile, dir / "b.html", {.ignore_existing = true});
    ASSERT_EQ(result.status, ImportStatus::Done);
    EXPECT_EQ(result.links, 2);
    EXPECT_EQ(tree(result.top_folder),
              (std::vector<std::string>{"D A", "D A/B", "L . | New again | http://new.example/",
                                        "L A/B | New one | http://new.example/"}));
}

TEST_F(ImportTest, IdsFollowTheTopFolderAndTheLargestLinkId) {
    NewLinkRequest first{.parent = model->folders.create_folder("Old", kRootFolder),
                         .title = "k",
                         .url = "http://k.example/"};
    int existing = model->links.add_new_link(first);
    write_file(dir / "b.html", kTwoFolders);
    ImportResult result = import(ImportSource::BookmarkFile, dir / "b.html");
    const int top = result.top_folder;
    EXPECT_EQ(count("SELECT parent FROM tb_folders WHERE title = 'B'"), top + 1);
    EXPECT_EQ(count("SELECT id FROM tb_folders WHERE title = 'B'"), top + 2);
    EXPECT_EQ(count("SELECT id FROM tb_links WHERE title = 'New one'"), existing + 2);
    EXPECT_EQ(count("SELECT id FROM tb_links WHERE title = 'New again'"), existing + 3);
}

}  // namespace
}  // namespace tb::test
