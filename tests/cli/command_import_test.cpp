#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/test_support.h"

namespace tb::test {
namespace {

struct CliRun {
    int code;
    std::string out;
};

CliRun cli(const TempDir& dir, const std::string& args) {
    std::string command = std::string("'") + TB_CLI_PATH + "' --data-dir '" + dir.path().string() +
                          "' " + args + " 2>'" + (dir / "err.txt").string() + "'";
    CliRun run{0, {}};
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[512];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        run.out += buffer;
    }
    run.code = pipe == nullptr ? -1 : WEXITSTATUS(pclose(pipe));
    return run;
}

TEST(ImportCommandTest, ImportsAndPrintsTheTopFolderAndCounts) {
    TempDir dir;
    std::string file = data_path("import/bookmarks/duplicate_siblings.html").string();
    CliRun first = cli(dir, "import bookmarks '" + file + "'");
    EXPECT_EQ(first.code, 0);
    EXPECT_EQ(first.out, "Top folder:  2 Mozilla Bookmarks\nFolders:     6\nLinks:       6\n");
    CliRun second =
        cli(dir, "--json import bookmarks '" + file + "' --target Mine --ignore-structure");
    EXPECT_EQ(second.code, 0);
    EXPECT_EQ(second.out, "{\"top_folder\":10,\"title\":\"Mine\",\"folders\":1,\"links\":6}\n");
}

TEST(ImportCommandTest, RefusesMissingPathsAndUnreadableInput) {
    TempDir dir;
    EXPECT_EQ(cli(dir, "import bookmarks").code, 1);
    EXPECT_EQ(read_file(dir / "err.txt"), "No path to the Mozilla bookmarks file.\n");
    EXPECT_EQ(cli(dir, "import shortcuts").code, 1);
    EXPECT_EQ(read_file(dir / "err.txt"), "No path to a disk folder.\n");
    EXPECT_EQ(cli(dir, "import bookmarks '" + (dir / "none.html").string() + "'").code, 1);
    EXPECT_EQ(read_file(dir / "err.txt"), "Cannot read HTML file!\n");
    EXPECT_EQ(cli(dir, "import shortcuts '" + (dir / "none").string() + "'").code, 1);
    EXPECT_NE(read_file(dir / "err.txt").find("none"), std::string::npos);
    EXPECT_EQ(cli(dir, "import nonsense x").code, 2);

    write_file(dir / "notes.txt", "Not bookmarks at all.\n");
    CliRun plain = cli(dir, "import bookmarks '" + (dir / "notes.txt").string() + "'");
    EXPECT_EQ(plain.code, 1);
    EXPECT_EQ(plain.out, "");
    EXPECT_EQ(read_file(dir / "err.txt"),
              "The file holds no bookmarks, so nothing was imported.\n");
    EXPECT_EQ(cli(dir, "tree").out, "1\t0\t/\n");
}

}  // namespace
}  // namespace tb::test
