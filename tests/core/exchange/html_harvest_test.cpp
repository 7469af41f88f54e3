#include "exchange/html_harvest.h"
#include "text/declared_charset.h"

#include "import_fixture.h"
#include "platform/messages.h"

namespace tb::test {
namespace {

TEST_F(ImportTest, HarvestsTheAbsoluteLinksOfAPage) {
    ImportResult result =
        import(ImportSource::HtmlFile, data_path("import/html/links.html"), {}, "links.html");
    ASSERT_EQ(result.status, ImportStatus::Done);
    EXPECT_EQ(result.top_title, "links.html");
    EXPECT_EQ(tree(result.top_folder),
              (std::vector<std::string>{
                  "L . | ABBR After abbr | http://after-abbr.example/",
                  "L . | Area run | http://area.example/", "L . | Files | ftp://files.example/",
                  "L . | Other &amp; text | http://other.example/",
                  "L . | Other again | http://other.example/",
                  "L . | Quoted | http://quoted.example/", "L . | Same | http://first.example/",
                  "L . | Secure bold | https://secure.example/?a=1&b=2",
                  "L . | Splittext | http://split.example/",
                  "L . | Unquoted | http://unquoted.example/page"}));
}

TEST(HtmlHarvestTest, ReadsLegacyPagesInTheirDeclaredCharset) {
    EXPECT_EQ(declared_charset("<meta http-equiv=\"Content-Type\" content=\"text/html; "
                               "charset=windows-1251\">"),
              "windows-1251");
    EXPECT_EQ(declared_charset("<meta charset='koi8-r'>"), "koi8-r");
    EXPECT_EQ(html_page_text("<meta charset=\"windows-1251\">\xCF\xF0\xE8\r\n\xE2\xE5\xF2"),
              "<meta charset=\"windows-1251\">Привет");
    // Undeclared 8-bit text is Windows-1252.
    EXPECT_EQ(html_page_text("caf\xE9"), "café");
    EXPECT_EQ(html_page_text("<meta charset=\"no-such-charset\">\xE9"),
              "<meta charset=\"no-such-charset\">é");
    // Mac Roman under the name a Mac browser writes, which ICU knows only through our alias.
    EXPECT_EQ(html_page_text("<meta charset=X-MAC-SYSTEM>K\x8Ase"),
              "<meta charset=X-MAC-SYSTEM>Käse");
}

TEST_F(ImportTest, UnreadablePageReportsAndCreatesNothing) {
    ImportResult result = import(ImportSource::HtmlFile, dir / "missing.html");
    EXPECT_EQ(result.status, ImportStatus::Failed);
    EXPECT_TRUE(reporter.has(msg::kCannotReadHtml));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_folders"), 1);
}

TEST_F(ImportTest, HtmlFolderWalkMakesAFolderPerPage) {
    write_file(dir / "Pages/a.html", "<a href=\"http://a.example/\">A</a>");
    write_file(dir / "Pages/b.HTM", "<a href=\"http://b.example/\">B</a>");
    write_file(dir / "Pages/c.txt", "<a href=\"http://c.example/\">C</a>");
    write_file(dir / "Pages/Sub/a.html", "<a href=\"http://sub.example/\">Sub</a>");
    ImportResult result = import(ImportSource::HtmlFolder, dir / "Pages");
    EXPECT_EQ(tree(result.top_folder),
              (std::vector<std::string>{"D Sub", "D Sub/a.html", "D a.html", "D b.HTM",
                                        "L Sub/a.html | Sub | http://sub.example/",
                                        "L a.html | A | http://a.example/",
                                        "L b.HTM | B | http://b.example/"}));
    // Without structure the two a.html pages share one folder.
    ImportResult flat = import(ImportSource::HtmlFolder, dir / "Pages", {.ignore_structure = true});
    EXPECT_EQ(flat.top_title, "Pages-01");
    EXPECT_EQ(tree(flat.top_folder),
              (std::vector<std::string>{"D a.html", "D b.HTM", "L a.html | A | http://a.example/",
                                        "L a.html | Sub | http://sub.example/",
                                        "L b.HTM | B | http://b.example/"}));
}

}  // namespace
}  // namespace tb::test
