#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "model/model.h"
#include "support/test_support.h"

namespace tb {
namespace {

struct ToolRun {
    int code = -1;
    std::string out;
    std::string err;
};

std::string shell_quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Runs the tool on a data folder and collects its exit code and both output streams.
class SearchCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SilentReporter reporter;
        Database db(reporter);
        ASSERT_EQ(db.open_database(data()), OpenStatus::Ok);
        Model model(db);
        model.load();
        const int tech = model.folders.create_folder("Tech", kRootFolder);
        model.folders.reload();
        const int linux_folder = model.folders.create_folder("Linux", tech);
        model.folders.reload();
        model.links.add_link_to(tech, "Tech news", "http://tech.example/", "");
        model.links.add_link_to(linux_folder, "Kernel news", "http://kernel.org/", "");
        model.links.add_link_to(linux_folder, "R&D <notes>", "http://notes.example/", "");
    }

    std::filesystem::path data() const { return dir / "data"; }

    ToolRun run(const std::vector<std::string>& args) {
        std::string command = shell_quote(TB_CLI_PATH) + " --data-dir " + shell_quote(data());
        for (const std::string& arg : args) {
            command += " " + shell_quote(arg);
        }
        command += " 2>" + shell_quote(dir / "stderr.txt");
        ToolRun result;
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            result.out.append(buffer, n);
        }
        const int status = pclose(pipe);
        result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.err = test::read_file(dir / "stderr.txt");
        return result;
    }

    test::TempDir dir;
};

TEST_F(SearchCommandsTest, SearchRemembersAndRerunsQueries) {
    ToolRun found = run({"search", "news"});
    EXPECT_EQ(found.code, 0);
    EXPECT_NE(found.out.find("\tKernel news\thttp://kernel.org/\t/Tech/Linux\n"),
              std::string::npos);
    EXPECT_NE(found.out.find("2 links found.\n"), std::string::npos);
    run({"search", "news"});
    run({"search", "news", "--scope", "below", "/Tech"});
    run({"quick", "kernel"});

    ToolRun listed = run({"queries"});
    EXPECT_EQ(listed.out, "1\tnews\ttitles,addresses,comments\n");
    ToolRun again = run({"rerun", "1", "--json"});
    EXPECT_EQ(again.code, 0);
    EXPECT_NE(again.out.find("\"query\":\"news\",\"count\":2"), std::string::npos);
    EXPECT_EQ(run({"rerun", "2"}).code, 2);

    EXPECT_EQ(run({"queries", "--clear"}).code, 0);
    EXPECT_EQ(run({"queries"}).out, "");
}

TEST_F(SearchCommandsTest, OptionsScopesAndFailures) {
    ToolRun any = run({"search", "kernel", "notes", "--any", "--in", "titles,folders"});
    EXPECT_EQ(any.code, 0);
    EXPECT_NE(any.out.find("2 links found."), std::string::npos);
    ToolRun scoped = run({"search", "news", "--scope", "in", "/Tech/Linux"});
    EXPECT_NE(scoped.out.find("1 link found."), std::string::npos);

    ToolRun nothing = run({"search", "cheap", "flights"});
    EXPECT_EQ(nothing.code, 1);
    EXPECT_EQ(nothing.err, "Nothing found for 'cheap AND flights'!\n");
    ToolRun invalid = run({"search", "(news and tech)"});
    EXPECT_EQ(invalid.code, 2);
    EXPECT_EQ(invalid.err, "Invalid query.\n");
    EXPECT_EQ(run({"quick", "news OR tech"}).code, 2);
    EXPECT_EQ(run({"search", "news", "--scope", "in", "/Nowhere"}).code, 2);
    EXPECT_EQ(run({"search", "news", "--in", "everything"}).code, 2);
    EXPECT_EQ(run({"queries"}).out, "1\tkernel OR notes\ttitles,folders\n");
}

TEST_F(SearchCommandsTest, ExportsTreeBranchAndResults) {
    const auto tree = dir / "tree.html";
    ToolRun exported = run({"export", tree.string(), "--branch", "/Tech/Linux"});
    EXPECT_EQ(exported.code, 0);
    EXPECT_EQ(exported.err, "Bookmarks saved.\n");
    const std::string bytes = test::read_file(tree);
    EXPECT_NE(bytes.find("<DL><p>\n        <DT><H3>Linux</H3>\n        <DL><p>\n"
                         "            <DT><A HREF=\"http://kernel.org/\">Kernel news</A>\n"
                         "            <DT><A HREF=\"http://notes.example/\">R&amp;D "
                         "&lt;notes&gt;</A>\n        </DL><p>\n</DL>"),
              std::string::npos);

    const auto page = dir / "page.html";
    ToolRun empty = run({"export-results", page.string(), "zzz"});
    EXPECT_EQ(empty.code, 1);
    EXPECT_EQ(empty.err, "Nothing to save!\n");
    EXPECT_FALSE(std::filesystem::exists(page));
    ToolRun saved = run({"export-results", page.string(), "R&D"});
    EXPECT_EQ(saved.code, 0);
    EXPECT_EQ(saved.err, "Search results saved.\n");
    EXPECT_NE(test::read_file(page).find("<H2>Search term: 'R&amp;D'</H2>\n\n<p><a "
                                         "href=\"http://notes.example/\" target=\"_blank\">R&amp;D "
                                         "&lt;notes&gt;</a></p><hr>"),
              std::string::npos);
}

}  // namespace
}  // namespace tb
