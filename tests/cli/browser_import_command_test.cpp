#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/test_support.h"

namespace tb::test {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int code;
    std::string out;
};

// The command-line tool run with the temporary folder as its home, where the profiles are.
CliRun cli(const TempDir& dir, const std::string& args) {
    std::string command = "HOME='" + (dir / "home").string() + "' XDG_CONFIG_HOME= '" +
                          TB_CLI_PATH + "' --data-dir '" + (dir / "data").string() + "' " + args +
                          " 2>'" + (dir / "err.txt").string() + "'";
    CliRun run{0, {}};
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[512];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        run.out += buffer;
    }
    run.code = pipe == nullptr ? -1 : WEXITSTATUS(pclose(pipe));
    return run;
}

void chromium_profile(const TempDir& dir, const std::string& bookmarks) {
    fs::create_directories(dir / "home/.config/chromium/Default");
    write_file(dir / "home/.config/chromium/Default/Bookmarks", bookmarks);
}

TEST(BrowserImportCommandTest, ListsImportsAndUpdatesAProfile) {
    TempDir dir;
    EXPECT_EQ(cli(dir, "import browsers").code, 1);
    EXPECT_EQ(read_file(dir / "err.txt"), "No browser profile was found.\n");

    chromium_profile(dir, R"({"roots":{"bookmark_bar":{"children":[
        {"guid":"g1","name":"One","type":"url","url":"https://one.example/"},
        {"guid":"g2","name":"Two","type":"url","url":"https://two.example/"}]}}})");
    CliRun list = cli(dir, "import browsers");
    EXPECT_EQ(list.code, 0);
    EXPECT_EQ(list.out, "Chromium \u2014 Default (2 bookmarks)\t" +
                            (dir / "home/.config/chromium/Default").string() + "\n");

    CliRun first = cli(dir, "import chromium");
    EXPECT_EQ(first.code, 0);
    EXPECT_EQ(first.out,
              "Top folder:  2 Chromium \u2014 Default\nFolders:     2\nLinks:       2\n"
              "2 new, 0 already present\n");

    chromium_profile(dir, R"({"roots":{"bookmark_bar":{"children":[
        {"guid":"g1","name":"One","type":"url","url":"https://one.example/"},
        {"guid":"g2","name":"Two","type":"url","url":"https://two.example/"},
        {"guid":"g3","name":"Three","type":"url","url":"https://three.example/"}]}}})");
    CliRun update = cli(dir, "--json import chromium Default --update");
    EXPECT_EQ(update.code, 0);
    EXPECT_EQ(update.out,
              "{\"top_folder\":2,\"title\":\"Chromium \u2014 Default\",\"folders\":0,\"links\":1,"
              "\"already_present\":2}\n");
}

TEST(BrowserImportCommandTest, FilesByPathAndRefusedInput) {
    TempDir dir;
    fs::create_directories(dir / "home");
    write_file(dir / "broken.json", R"({"roots":{"bookmark_bar":{"children":"none"}}})");
    CliRun broken = cli(dir, "import chromium '" + (dir / "broken.json").string() + "'");
    EXPECT_EQ(broken.code, 1);
    EXPECT_EQ(read_file(dir / "err.txt"),
              "The bookmark file " + (dir / "broken.json").string() +
                  " has a value of an unexpected type at /roots/bookmark_bar/children.\n");
    EXPECT_EQ(cli(dir, "tree").out, "1\t0\t/\n");

    EXPECT_EQ(cli(dir, "import firefox").code, 1);
    EXPECT_EQ(read_file(dir / "err.txt"), "No firefox profile was found.\n");

    TB_SHARED_FIXTURE_OR_SKIP(fixture, "browsers/bookmarks-converter/bookmarks_firefox.json");
    CliRun backup = cli(dir, "import firefox '" + fixture.string() + "'");
    EXPECT_EQ(backup.code, 0);
    EXPECT_NE(backup.out.find("Firefox \u2014 bookmarks_firefox.json"), std::string::npos)
        << backup.out;
    EXPECT_NE(backup.out.find("32 new, 0 already present"), std::string::npos) << backup.out;
    CliRun again = cli(dir, "import firefox '" + fixture.string() + "' --update");
    EXPECT_NE(again.out.find("0 new, 32 already present"), std::string::npos) << again.out;
}

}  // namespace
}  // namespace tb::test
