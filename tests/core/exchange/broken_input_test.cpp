// Damaged and hostile input never crashes an import.
#include <random>

#include "import_fixture.h"
#include "text/unicode.h"

namespace tb::test {
namespace {

TEST_F(ImportTest, TruncatedAndGarbageFilesImportWhatTheyCan) {
    std::string file = read_file(data_path("import/bookmarks/nested_crlf.html"));
    for (std::size_t cut : {file.size() / 3, file.size() / 2, file.size() - 7}) {
        write_file(dir / "cut.html", file.substr(0, cut));
        EXPECT_EQ(import(ImportSource::BookmarkFile, dir / "cut.html").status, ImportStatus::Done);
    }
    std::string utf16 = read_file(data_path("import/bookmarks/nested_utf16le.html"));
    write_file(dir / "odd.html", utf16.substr(0, utf16.size() - 1));
    EXPECT_EQ(import(ImportSource::BookmarkFile, dir / "odd.html").status, ImportStatus::Done);

    std::mt19937 random(7);
    std::string garbage(1 << 16, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(random() & 0xFF);
    }
    garbage += "\n<DT><A HREF=\"http://x/\">\xFF\xFE</A>\n";
    write_file(dir / "garbage.bin", garbage);
    for (ImportSource source : {ImportSource::BookmarkFile, ImportSource::HtmlFile}) {
        EXPECT_EQ(import(source, dir / "garbage.bin").status, ImportStatus::Done);
    }
    write_file(dir / "legacy/data.dbf", garbage);
    write_file(dir / "legacy/data.dbd", garbage);
    write_file(dir / "legacy/data.dbi", garbage);
    EXPECT_EQ(import(ImportSource::LegacyDatabase, dir / "legacy").status, ImportStatus::Done);
    for (const Link& link : model->links.links()) {
        EXPECT_TRUE(is_valid_utf8(link.title) && is_valid_utf8(link.url));
    }
}

// Longer than several of the pieces the file is read (4 MB) and decoded (1 MB) in.
TEST_F(ImportTest, LineLongerThanTheReadPiecesIsOneLine) {
    std::string line(9u << 20, 'x');
    line.replace(0, 30, "<DT><A HREF=\"http://big.example");
    line.replace(line.size() - 10, 10, "\">big</A>\n");
    write_file(dir / "big.html", line);
    ImportResult result = import(ImportSource::BookmarkFile, dir / "big.html");
    EXPECT_EQ(result.status, ImportStatus::Done);
    EXPECT_EQ(result.links, 1);
    std::string page = "<a href=\"http://p.example/\">" + std::string(9u << 20, 'y');
    write_file(dir / "big_page.html", page);
    EXPECT_EQ(import(ImportSource::HtmlFile, dir / "big_page.html").links, 0);
}

TEST_F(ImportTest, DeepIndentationAndNesting) {
    std::string indented = std::string(10000, ' ') + "<DT><H3>Far</H3>\n" +
                           std::string(10000, ' ') + "<DT><A HREF=\"http://far/\">far</A>\n";
    write_file(dir / "indent.html", indented);
    ImportResult far = import(ImportSource::BookmarkFile, dir / "indent.html");
    // No list follows the heading, so the folder is empty and the link stays outside it.
    EXPECT_EQ(tree(far.top_folder), (std::vector<std::string>{"D Far", "L . | far | http://far/"}));

    std::string nested;
    for (int i = 0; i < 2000; ++i) {
        nested += std::string(4 * (i + 1), ' ') + "<DT><H3>N" + std::to_string(i) + "</H3>\n" +
                  std::string(4 * (i + 1), ' ') + "<DL><p>\n";
    }
    nested += "<DT><A HREF=\"http://bottom/\">bottom</A>\n";
    write_file(dir / "nested.html", nested);
    ImportResult deep = import(ImportSource::BookmarkFile, dir / "nested.html");
    EXPECT_EQ(deep.folders, 2001);
    std::optional<Link> bottom;
    for (const Link& link : model->links.links()) {
        bottom = link.title == "bottom" ? link : bottom;
    }
    ASSERT_TRUE(bottom.has_value());
    EXPECT_EQ(bottom->parent, deep.top_folder + 2000);
    EXPECT_EQ(model->folders.find(deep.top_folder + 2000)->level,
              model->folders.find(deep.top_folder)->level + 2000);

    std::filesystem::path walk = dir / "walk";
    std::filesystem::path at = walk;
    for (int i = 0; i < 200; ++i) {
        at /= "d";
    }
    write_file(at / "x.url", "[InternetShortcut]\nURL=http://deep/\n");
    EXPECT_EQ(import(ImportSource::Shortcuts, walk).links, 1);
}

}  // namespace
}  // namespace tb::test
