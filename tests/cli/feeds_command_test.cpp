#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/test_support.h"

namespace tb {
namespace {

struct CliRun {
    int code = -1;
    std::string out;  // standard output and standard error together
};

CliRun run_cli(const test::TempDir& data, const std::string& args) {
    const std::string command = std::string("'") + TB_CLI_PATH + "' --data-dir '" +
                                data.path().string() + "' " + args + " 2>&1";
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, n);
    }
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(FeedsCommandTest, ParsePrintsItemsOrTheParserMessages) {
    test::TempDir data;
    const CliRun good =
        run_cli(data, "--json feeds parse '" + test::data_path("feeds/rdf.xml").string() + "'");
    EXPECT_EQ(good.code, 0);
    EXPECT_NE(good.out.find("\"ok\":true"), std::string::npos) << good.out;
    EXPECT_NE(good.out.find("{\"number\":1,\"title\":\"Noon reading\""), std::string::npos);

    const CliRun bad =
        run_cli(data, "feeds parse '" + test::data_path("feeds/not_xml.txt").string() + "'");
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.out.find("XML parser reports fatal error in the file:"), std::string::npos);
    EXPECT_NE(bad.out.find("Newsfeed 'not_xml.txt': some error occured when parsing XML file. "
                           "Skipping..."),
              std::string::npos);
}

TEST(FeedsCommandTest, AddListUpdateRemoveAndNoFilesLeft) {
    test::TempDir data;
    const CliRun empty = run_cli(data, "feeds add '' http://127.0.0.1:1/");
    EXPECT_EQ(empty.code, 1);
    EXPECT_NE(empty.out.find("Newsfeed's title and location cannot be empty."), std::string::npos);

    // Port 1 refuses at once: the update that follows the add fails quickly.
    EXPECT_EQ(run_cli(data, "feeds add \"Ann's\" http://127.0.0.1:1/feed.xml").code, 0);
    const CliRun list = run_cli(data, "--json feeds list");
    EXPECT_EQ(list.out,
              "[{\"id\":1,\"title\":\"Ann's\",\"location\":\"http://127.0.0.1:1/feed.xml\"}]\n");
    const CliRun update = run_cli(data, "feeds update 1");
    EXPECT_EQ(update.code, 0);
    EXPECT_EQ(update.out, "[1] Ann's (download failed)\n");
    EXPECT_EQ(run_cli(data, "feeds update 7").code, 1);
    EXPECT_EQ(run_cli(data, "feeds rm 7").code, 1);
    EXPECT_EQ(run_cli(data, "feeds rm 1").code, 0);
    EXPECT_EQ(run_cli(data, "feeds list").out, "");
    EXPECT_TRUE(std::filesystem::is_empty(data / "feeds"));
}

}  // namespace
}  // namespace tb
