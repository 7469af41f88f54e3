#include <gtest/gtest.h>

#include "cli_runner.h"
#include "support/test_support.h"

namespace tb::test {
namespace {

class ArgumentParsingTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(cli({"mkdir", "/", "News"}).code, 0); }
    CliResult cli(const std::vector<std::string>& args) { return run_cli(data, args); }
    std::string titles() { return cli({"ls", "/News", "--json"}).out; }

    TempDir dir;
    std::filesystem::path data = dir / "data";
};

// An option's value is taken as it is, even when it looks like an option of the tool.
TEST_F(ArgumentParsingTest, ValuesThatLookLikeOptionsBelongToTheirOption) {
    CliResult help = cli({"add", "/News", "https://a.example", "--title", "-h"});
    EXPECT_EQ(help.code, 0) << help.err;
    EXPECT_EQ(help.out, "1\n");
    CliResult json = cli({"add", "/News", "https://b.example", "--title", "--json"});
    EXPECT_EQ(json.code, 0) << json.err;
    EXPECT_EQ(json.out, "2\n");
    CliResult data_dir = cli({"add", "/News", "https://c.example", "--comment", "--data-dir"});
    EXPECT_EQ(data_dir.code, 0) << data_dir.err;
    const std::string listed = titles();
    EXPECT_NE(listed.find(R"("title":"-h")"), std::string::npos) << listed;
    EXPECT_NE(listed.find(R"("title":"--json")"), std::string::npos) << listed;
    EXPECT_NE(listed.find(R"("comment":"--data-dir")"), std::string::npos) << listed;
}

// Options may come before the positionals, and an option given twice keeps its last value.
TEST_F(ArgumentParsingTest, OptionsBeforePositionalsTakeOneValueEach) {
    CliResult added = cli({"add", "--title", "First", "/News", "https://e.example"});
    ASSERT_EQ(added.code, 0) << added.err;
    CliResult twice = cli({"add", "--title", "Old", "--title", "New", "--comment", "C", "/News",
                           "https://f.example"});
    ASSERT_EQ(twice.code, 0) << twice.err;
    const std::string listed = titles();
    EXPECT_NE(listed.find(R"("title":"First")"), std::string::npos) << listed;
    EXPECT_NE(listed.find(R"("title":"New")"), std::string::npos) << listed;
    EXPECT_EQ(listed.find(R"("title":"Old")"), std::string::npos) << listed;
}

TEST_F(ArgumentParsingTest, DoubleDashEndsTheOptions) {
    EXPECT_EQ(cli({"rename", "/News", "--", "--protect"}).code, 0);
    EXPECT_EQ(cli({"tree"}).out, "1\t0\t/\n2\t1\t/--protect\n");
    EXPECT_EQ(cli({"mkdir", "/", "--", "-x"}).out, "3\n");
}

TEST_F(ArgumentParsingTest, GlobalOptionsComeBeforeTheCommandAndJsonAlsoAfterIt) {
    EXPECT_EQ(cli({"--json", "tree"}).out, cli({"tree", "--json"}).out);
    EXPECT_EQ(cli({"tree", "--json"}).out.front(), '[');
    CliResult late = cli({"tree", "--data-dir", (dir / "other").string()});
    EXPECT_EQ(late.code, 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "other"));
}

TEST_F(ArgumentParsingTest, UsageErrorsExitTwoAndHelpZero) {
    EXPECT_EQ(cli({}).code, 2);
    EXPECT_EQ(cli({"nonsense"}).code, 2);
    EXPECT_EQ(cli({"add", "/News", "https://d.example", "--titel", "T"}).code, 2);
    EXPECT_EQ(cli({"add", "/News", "https://d.example", "--title"}).code, 2);
    EXPECT_EQ(cli({"tree", "extra"}).code, 2);
    CliResult help = cli({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("add FOLDER URL"), std::string::npos) << help.out;
    CliResult add_help = cli({"add", "--help"});
    EXPECT_EQ(add_help.code, 0);
    EXPECT_NE(add_help.out.find("--allow-duplicates"), std::string::npos) << add_help.out;
    EXPECT_EQ(titles(), "[]\n");
}

}  // namespace
}  // namespace tb::test
