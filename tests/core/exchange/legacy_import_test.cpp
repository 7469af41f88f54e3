#include "exchange/legacy_import.h"

#include "import_fixture.h"
#include "platform/messages.h"

namespace tb::test {
namespace {

TEST(LegacyFieldsTest, SplitsLikeTheRegexSplit) {
    using V = std::vector<std::string>;
    EXPECT_EQ(split_legacy_fields("a;b;c"), (V{"a", "b", "c"}));
    EXPECT_EQ(split_legacy_fields("a;;c"), (V{"a", "", "c"}));
    EXPECT_EQ(split_legacy_fields("a;b;"), (V{"a", "b"}));
    EXPECT_EQ(split_legacy_fields(";a"), (V{"", "a"}));
    EXPECT_EQ(split_legacy_fields(""), V{});
}

TEST(LegacyFieldsTest, NumbersFollowAtoi) {
    EXPECT_EQ(legacy_number("  42x"), 42);
    EXPECT_EQ(legacy_number("-1"), -1);
    EXPECT_EQ(legacy_number("abc"), 0);
    EXPECT_EQ(legacy_number("99999999999999"), 2147483647);
}

class LegacyTest : public ImportTest {
protected:
    std::string log() { return read_file(dir / "tagberry.log"); }
};

TEST_F(LegacyTest, RebuildsFoldersMembershipsAndVisits) {
    ImportResult result = import(ImportSource::LegacyDatabase, data_path("import/legacy/basic"));
    ASSERT_EQ(result.status, ImportStatus::Done);
    EXPECT_EQ(result.top_title, kLegacyTopTitle);
    const int top = result.top_folder;
    EXPECT_EQ(
        tree(top),
        (std::vector<std::string>{
            "D Ping", "D Pong", "D Self", "D Top level", "D Unknown parent", "D Работа",
            "D Работа/Проекты", "L . | Unknown folder | http://unknown.example/",
            "L Pong | In pong | http://pong.example/", "L Self | In self | http://self.example/",
            "L Top level | Negative | http://neg.example/",
            "L Работа | Merged | http://merged.example/",
            "L Работа | Work link | http://work.example/",
            "L Работа/Проекты | Документ | http://doc.example/"}));
    // Folder ids are old id + T + 1; the link ids old id + B + 1 (B = 0 here).
    EXPECT_EQ(count("SELECT id FROM tb_folders WHERE title = 'Проекты'"), top + 2);
    EXPECT_EQ(count("SELECT parent FROM tb_folders WHERE title = 'Проекты'"), top + 1);
    EXPECT_EQ(count("SELECT id FROM tb_links WHERE title = 'Документ'"), 11);
    EXPECT_EQ(count("SELECT visits FROM tb_links WHERE id = 11"), 5);
    EXPECT_EQ(db->query_int("SELECT COUNT(*) FROM tb_links WHERE comment = 'comment one'"), 1);
    EXPECT_EQ(count("SELECT visits FROM tb_links WHERE title = 'Work link'"), 0);
    EXPECT_EQ(count("SELECT visits FROM tb_links WHERE title = 'Negative'"), -3);

    std::string text = log();
    EXPECT_NE(text.find("*** Orphan link: id = '17', title ='Three-field member', url = "
                        "'http://three.example/', parent = '-1'"),
              std::string::npos);
    EXPECT_NE(text.find("title ='One-field member'"), std::string::npos);
    EXPECT_NE(text.find("*** Skipped line of data.dbf: '7;Short'"), std::string::npos);
    EXPECT_NE(text.find("*** Skipped line of data.dbi: '19;short;http://short.example/'"),
              std::string::npos);
    // The visit counts feed the Most Visited threshold at once.
    EXPECT_GT(model->statistics.threshold(), 0);
}

TEST_F(LegacyTest, IgnoreStructureNeedsOnlyTheLinkFile) {
    write_file(dir / "only/data.dbi", "1;A;http://a.example/;;0\n2;B;http://b.example/;;0\n");
    ImportResult result =
        import(ImportSource::LegacyDatabase, dir / "only", {.ignore_structure = true});
    ASSERT_EQ(result.status, ImportStatus::Done);
    EXPECT_EQ(result.links, 2);
    EXPECT_EQ(result.folders, 1);
    EXPECT_EQ(read_file(dir / "tagberry.log").find("Orphan"), std::string::npos);
}

TEST_F(LegacyTest, IgnoreExistingSkipsKnownAndRepeatedAddresses) {
    NewLinkRequest known{.parent = model->folders.create_folder("Old", kRootFolder),
                         .title = "k",
                         .url = "http://a.example/"};
    ASSERT_NE(model->links.add_new_link(known), 0);
    write_file(
        dir / "db/data.dbi",
        "1;A;http://a.example/;;0\n2;B;http://b.example/;;0\n3;B again;http://b.example/;;0\n");
    ImportResult result = import(ImportSource::LegacyDatabase, dir / "db",
                                 {.ignore_existing = true, .ignore_structure = true});
    EXPECT_EQ(result.links, 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_links WHERE title = 'B'"), 1);
}

TEST_F(LegacyTest, MissingFilesReportTheirMessageAndLeaveTheTopFolder) {
    ImportResult none = import(ImportSource::LegacyDatabase, dir / "nothing");
    EXPECT_EQ(none.status, ImportStatus::Failed);
    EXPECT_TRUE(reporter.has(msg::kCannotReadDbf));
    write_file(dir / "partial/data.dbf", "0;F;-1\n");
    ImportResult partial = import(ImportSource::LegacyDatabase, dir / "partial");
    EXPECT_TRUE(reporter.has(msg::kCannotReadDbd));
    write_file(dir / "partial/data.dbd", "1;0\n");
    ImportResult no_links = import(ImportSource::LegacyDatabase, dir / "partial");
    EXPECT_TRUE(reporter.has(msg::kCannotReadDbi));
    // A repeated import gets a free title of its own.
    EXPECT_EQ(partial.top_title, std::string(kLegacyTopTitle) + "-01");
    EXPECT_EQ(no_links.top_title, std::string(kLegacyTopTitle) + "-02");
    EXPECT_FALSE(reporter.has(msg::kDuplicateFolderName));
    EXPECT_TRUE(model->journal.enabled());
}

// Ids near the int limit would leave the next folder and link ids none to take; they get fresh
// ids above the kept ones, their members and children follow, and the log says so.
TEST_F(LegacyTest, IdsTooLargeToKeepGetFreshIdsThatTheirMembersFollow) {
    write_file(dir / "edge/data.dbf", "2147483644;Edge;-1\n5;Kept;-1\n6;Child;2147483644\n");
    write_file(dir / "edge/data.dbd", "2147483646;2147483644\n1;5\n7;6\n");
    write_file(dir / "edge/data.dbi",
               "2147483646;Edge;http://edge/;;0\n1;Kept;http://kept/;;0\n7;Deep;http://deep/;;0\n");
    ImportResult result = import(ImportSource::LegacyDatabase, dir / "edge");
    ASSERT_EQ(result.status, ImportStatus::Done);
    EXPECT_EQ(tree(result.top_folder),
              (std::vector<std::string>{
                  "D Edge", "D Edge/Child", "D Kept", "L Edge | Edge | http://edge/",
                  "L Edge/Child | Deep | http://deep/", "L Kept | Kept | http://kept/"}));
    // Top 2: Kept 5 -> 8, Child 6 -> 9, so Edge takes 10; links 1 -> 2, 7 -> 8, Edge 9.
    EXPECT_EQ(count("SELECT id FROM tb_folders WHERE title = 'Edge'"), 10);
    EXPECT_EQ(count("SELECT parent FROM tb_folders WHERE title = 'Child'"), 10);
    EXPECT_EQ(count("SELECT id FROM tb_links WHERE title = 'Edge'"), 9);
    EXPECT_NE(log().find("*** Folder id 2147483644 is too large to keep; it is imported as 10"),
              std::string::npos);
    EXPECT_NE(log().find("*** Link id 2147483646 is too large to keep; it is imported as 9"),
              std::string::npos);

    const int next = model->folders.create_folder("After", kRootFolder);
    EXPECT_EQ(next, 11);
    ImportResult again = import(ImportSource::LegacyDatabase, dir / "edge");
    ASSERT_EQ(again.status, ImportStatus::Done);
    EXPECT_EQ(db->query_int("SELECT COUNT(*) FROM tb_folders WHERE id <> 1 AND (id <= 0 OR "
                            "parent <= 0 OR id > 1073741824)"),
              0);
    EXPECT_EQ(db->query_int("SELECT COUNT(*) FROM tb_links WHERE id <= 0 OR parent <= 0"), 0);
    EXPECT_EQ(tree(again.top_folder).size(), 6U);
}

}  // namespace
}  // namespace tb::test
