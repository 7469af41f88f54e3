#include <gtest/gtest.h>

#include <filesystem>

#include "cli_fixtures.h"
#include "cli_runner.h"
#include "support/test_support.h"

namespace tb::test {
namespace {

class ModelCommandsTest : public ::testing::Test {
protected:
    CliResult cli(const std::vector<std::string>& args, const std::string& extra_path = {}) {
        return run_cli(data, args, extra_path);
    }
    // Runs a command that must succeed and returns its standard output.
    std::string ok(const std::vector<std::string>& args) {
        CliResult r = cli(args);
        EXPECT_EQ(r.code, 0) << args.front() << ": " << r.err;
        return r.out;
    }

    TempDir dir;
    std::filesystem::path data = dir / "data";
};

TEST_F(ModelCommandsTest, FolderSessionWithRefusalsUndoAndPurge) {
    EXPECT_EQ(ok({"mkdir", "/", "News;Sport ;Art"}), "2\n3\n4\n");
    CliResult dup = cli({"mkdir", "/", "Art;Zed"});
    EXPECT_EQ(dup.code, 1);
    EXPECT_EQ(dup.out, "5\n");
    EXPECT_EQ(dup.err, "Duplicate folder names aren't allowed.\n");
    EXPECT_EQ(cli({"mkdir", "/", ""}).err, "Folder title cannot be empty.\n");
    EXPECT_EQ(ok({"mkdir", "/News", "World"}), "6\n");
    EXPECT_EQ(ok({"mkdir", "6", "Europe"}), "7\n");
    EXPECT_EQ(cli({"mkdir", "/Nowhere", "X"}).code, 1);

    EXPECT_EQ(ok({"tree"}),
              "1\t0\t/\n2\t1\t/Art\n3\t1\t/News\n6\t2\t/News/World\n"
              "7\t3\t/News/World/Europe\n4\t1\t/Sport\n5\t1\t/Zed\n");
    EXPECT_NE(
        ok({"--json", "tree"})
            .find(R"({"id":7,"level":3,"path":"/News/World/Europe","parent":6,"protected":false})"),
        std::string::npos);

    CliResult itself = cli({"mv", "/News", "/News"});
    EXPECT_EQ(itself.code, 1);
    EXPECT_EQ(itself.err, "Couldn't move folder to itself.\n");
    CliResult below = cli({"mv", "/News", "/News/World/Europe"});
    EXPECT_EQ(below.code, 1);
    EXPECT_EQ(below.err, "Couldn't move folder to its descendant.\n");
    EXPECT_EQ(cli({"rename", "/Zed", "Art"}).err, "Duplicate folder names aren't allowed.\n");
    ok({"rename", "/Zed", "Zoo", "--protect"});
    ok({"mv", "/News/World", "/Sport"});

    // Deleting the new ancestor hides the moved subtree too.
    ok({"rm", "/Sport"});
    EXPECT_EQ(ok({"tree"}), "1\t0\t/\n2\t1\t/Art\n3\t1\t/News\n5\t1\t/Zoo\t(protected)\n");
    const std::string history = ok({"history"});
    EXPECT_EQ(history.substr(0, 22), "11\tUndo Delete Folder\t");
    EXPECT_NE(history.find("\n9\tUndo Delete Folder\t4\n8\tUndo Move Folder\t6\n7\tUndo Edit "
                           "Folder\t5\n6\tUndo Add Folder\t7\n"),
              std::string::npos);
    CliResult undo = cli({"undo"});
    EXPECT_EQ(undo.out, "Undo Delete Folder\n");
    EXPECT_NE(ok({"tree"}).find("7\t3\t/Sport/World/Europe\n"), std::string::npos);
    EXPECT_EQ(ok({"undo"}), "Undo Move Folder\n");
    EXPECT_EQ(ok({"undo"}), "Undo Edit Folder\n");
    EXPECT_NE(ok({"tree"}).find("6\t2\t/News/World\n"), std::string::npos);

    ok({"rm", "/News"});
    ok({"purge"});
    EXPECT_EQ(ok({"history"}), "");
    EXPECT_EQ(ok({"undo"}), "The journal is empty: nothing to undo.\n");
    EXPECT_EQ(ok({"tree"}), "1\t0\t/\n2\t1\t/Art\n4\t1\t/Sport\n5\t1\t/Zed\n");
    EXPECT_EQ(cli({"rm", "/"}).err, "This folder cannot be deleted.\n");
}

TEST_F(ModelCommandsTest, LinkSessionWithChecksStatisticsAndDuplicates) {
    ok({"mkdir", "/", "A;B"});
    EXPECT_EQ(cli({"add", "/", "example.org"}).err,
              "Sorry, you cannot add links to a root folder. Please, select or create another "
              "one.\n");
    EXPECT_EQ(cli({"add", "/A", ""}).err, "Item link and address cannot be empty.\n");
    EXPECT_EQ(ok({"add", "/A", "example.org", "--comment", "c"}), "1\n");
    CliResult url = cli({"add", "/B", "http://example.org"});
    EXPECT_EQ(url.code, 1);
    EXPECT_EQ(url.err, "An item with this URL already exists in the database!\n");
    EXPECT_EQ(cli({"add", "/A", "https://other.org", "--title", "example.org"}).err,
              "An item with this title already exists in the selected folder!\n");
    EXPECT_EQ(ok({"add", "/B", "example.org", "--allow-duplicates", "--title", "Same"}), "2\n");
    EXPECT_EQ(ok({"add", "/B", "https://third.org", "--title", "Third"}), "3\n");

    EXPECT_EQ(ok({"--json", "ls", "/A"}),
              R"([{"id":1,"title":"example.org","url":"http://example.org","comment":"c",)"
              R"("folder":2,"visits":0,"last_visit":0,"has_duplicates":true}])"
              "\n");
    EXPECT_EQ(ok({"duplicates", "1"}), "2\tSame\t/B\n1\texample.org\t/A\n");
    EXPECT_EQ(cli({"duplicates", "3"}).err, "This link has no duplicates.\n");
    EXPECT_EQ(cli({"edit", "3", "--title", "  "}).err,
              "Link title and address could not be empty.\n");
    EXPECT_EQ(ok({"edit", "3", "--comment", "note"}), "Link updated.\n");

    // Links from two folders moved together go back to their own folders.
    ok({"mv", "--links", "1", "2", "/B"});
    ok({"rm", "--links", "3"});
    EXPECT_EQ(ok({"ls", "/B"}).find("Third"), std::string::npos);
    EXPECT_EQ(ok({"undo"}), "Undo Delete Link\n");
    EXPECT_EQ(ok({"undo"}), "Undo Move Link\n");
    EXPECT_EQ(ok({"ls", "/A"}).substr(0, 2), "1\t");
    EXPECT_EQ(cli({"mv", "--links", "1", "/"}).code, 1);

    for (int i = 0; i < 3; ++i) {
        ok({"visit", "3"});
    }
    ok({"visit", "1"});
    // Mode of {1, 3} is 1: only the link with 3 visits is most visited.
    std::string most = ok({"most-visited"});
    EXPECT_EQ(most.substr(0, 8), "3\tThird\t");
    EXPECT_NE(most.find("\t3\t"), std::string::npos);
    EXPECT_EQ(most.find("example"), std::string::npos);
    EXPECT_EQ(ok({"recent"}).substr(0, 2), "3\t");

    ok({"rename", "/B", "B", "--protect"});
    EXPECT_EQ(ok({"most-visited"}), "");
    ok({"reset-usage", "--all"});
    EXPECT_EQ(ok({"--json", "ls", "/B"}).find("\"visits\":3"), std::string::npos);
    EXPECT_EQ(cli({"visit", "99"}).err, "No link '99'.\n");
}

// Ids past the 32-bit range, as another program or an older fault may have written them, stay
// whole in every command: new ids count on from them, and moves, undo, search and purge keep them.
TEST_F(ModelCommandsTest, IdsPastTheIntRangeStayWhole) {
    ok({"info"});
    ASSERT_TRUE(DatabaseProbe(data).run(
        "INSERT INTO tb_folders (id, title, parent) VALUES (2147483646, 'Edge', 1);"
        "INSERT INTO tb_links (id, title, url, parent) "
        "VALUES (3000000000, 'Far', 'http://far.example/', 2147483646);"));
    // Titles made together are made in title order.
    EXPECT_EQ(ok({"mkdir", "/", "Next;After"}), "2147483647\n2147483648\n");
    EXPECT_EQ(ok({"mkdir", "2147483648", "Child"}), "2147483649\n");
    EXPECT_NE(ok({"--json", "tree"})
                  .find(R"({"id":2147483649,"level":2,"path":"/Next/Child",)"
                        R"("parent":2147483648,"protected":false})"),
              std::string::npos);
    EXPECT_EQ(ok({"add", "/Next/Child", "http://near.example/"}), "3000000001\n");

    EXPECT_EQ(ok({"ls", "/Edge"}).substr(0, 11), "3000000000\t");
    ok({"mv", "--links", "3000000000", "/After"});
    EXPECT_EQ(ok({"ls", "/After"}).substr(0, 11), "3000000000\t");
    EXPECT_EQ(ok({"undo"}), "Undo Move Link\n");
    ok({"edit", "3000000000", "--title", "Farther"});
    EXPECT_NE(ok({"search", "farther"}).find("3000000000\tFarther\thttp://far.example/\t/Edge\n"),
              std::string::npos);

    ok({"rm", "/Edge"});
    EXPECT_EQ(cli({"ls", "/Edge"}).code, 1);
    EXPECT_EQ(ok({"undo"}), "Undo Delete Folder\n");
    ok({"rm", "--links", "3000000001"});
    ok({"purge"});
    const DatabaseProbe probe(data);
    EXPECT_EQ(probe.number("SELECT COUNT(*) FROM tb_links WHERE id = 3000000001"), 0);
    EXPECT_EQ(probe.number("SELECT parent FROM tb_links WHERE id = 3000000000"), 2147483646);
    EXPECT_EQ(probe.number("SELECT parent FROM tb_folders WHERE id = 2147483649"), 2147483648);
}

TEST_F(ModelCommandsTest, OpenHandsTheAddressToXdgOpenAsOneArgument) {
    const auto bin = dir / "bin";
    std::filesystem::create_directories(bin);
    write_file(bin / "xdg-open",
               "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" >> \"" + (dir / "opened").string() + "\"\n");
    std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
    ok({"mkdir", "/", "A"});
    ok({"add", "/A", "https://x.org/a b;c"});
    CliResult opened = cli({"open", "1"}, bin.string());
    EXPECT_EQ(opened.code, 0) << opened.err;
    EXPECT_EQ(read_file(dir / "opened"), "1|https://x.org/a b;c|");

    // An address that xdg-open would take for an option is refused; the visit still counts.
    ok({"edit", "1", "--url", "-rf"});
    CliResult refused = cli({"open", "1"}, bin.string());
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err, "Cannot launch application.\n");
    EXPECT_EQ(read_file(dir / "opened"), "1|https://x.org/a b;c|");
    EXPECT_NE(ok({"--json", "ls", "/A"}).find("\"visits\":2"), std::string::npos);
}

TEST_F(ModelCommandsTest, ControlCharactersAreCleanedOnTheWayInAndEscapedOnTheWayOut) {
    ok({"mkdir", "/", "News"});
    EXPECT_EQ(ok({"add", "/News", "\n   http://a.example/x\ty\r\n", "--title",
                  "Title\x1B]0;owned\x07\r\nhere"}),
              "1\n");
    EXPECT_EQ(ok({"ls", "/News"}).substr(0, 44),
              "1\tTitle]0;owned here\thttp://a.example/xy\t\t0\t");
    const CliResult refused = cli({"add", "/News", "\x1B\x07\t"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err, "Item link and address cannot be empty.\n");
    EXPECT_EQ(cli({"edit", "1", "--url", "\x1B"}).err,
              "Link title and address could not be empty.\n");
    EXPECT_EQ(ok({"edit", "1", "--url", " http://b.example/\r\npath\n", "--title", "New\ttitle"}),
              "Link updated.\n");
    EXPECT_EQ(ok({"search", "b.example"}),
              "1\tNew title\thttp://b.example/path\t/News\n1 link found.\n");

    // A folder title is stored as typed; printing it cannot drive the terminal.
    ok({"mkdir", "/", "Bad\x1B[2J\x07"});
    EXPECT_NE(ok({"tree"}).find("\t/Bad\\x1B[2J\\x07\n"), std::string::npos);
}

}  // namespace
}  // namespace tb::test
