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

size_t count_of(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// Enough results that the output goes out in several blocks and the page in many writes.
TEST_F(SearchCommandsTest, ManyResultsPrintWholeInIdOrder) {
    constexpr int kLinks = 3000;
    {
        SilentReporter reporter;
        Database db(reporter);
        ASSERT_EQ(db.open_database(data()), OpenStatus::Ok);
        Model model(db);
        model.load();
        const int linux_folder = model.folders.find_by_path("/Tech/Linux")->id;
        Transaction transaction(db);
        for (int i = 1; i <= kLinks; ++i) {
            // Titles count down, so that the page's title order is the reverse of the ids.
            char title[32];
            std::snprintf(title, sizeof title, i == 7 ? "Bulk %04d\t" : "Bulk %04d", kLinks - i);
            model.links.add_link_to(i % 2 == 0 ? kRootFolder : linux_folder, title,
                                    "http://bulk.example/" + std::to_string(i), "");
        }
        ASSERT_TRUE(transaction.commit());
    }

    ToolRun rows = run({"search", "bulk"});
    EXPECT_EQ(rows.code, 0);
    EXPECT_EQ(count_of(rows.out, "\n"), static_cast<size_t>(kLinks) + 1);
    EXPECT_TRUE(rows.out.ends_with("\n3000 links found.\n"));
    EXPECT_NE(rows.out.find("\tBulk 2993\\t\thttp://bulk.example/7\t/Tech/Linux\n"),
              std::string::npos);
    int last_id = 0;
    bool ascending = true;
    for (size_t start = 0, end = rows.out.find('\n'); end != std::string::npos;
         start = end + 1, end = rows.out.find('\n', end + 1)) {
        const std::string row = rows.out.substr(start, end - start);
        if (row.find('\t') != std::string::npos) {
            EXPECT_EQ(count_of(row, "\t"), 3u) << row;
            const int id = std::stoi(row);
            ascending = ascending && id > last_id;
            last_id = id;
        }
    }
    EXPECT_TRUE(ascending);

    ToolRun json = run({"search", "bulk", "--json"});
    EXPECT_EQ(json.code, 0);
    EXPECT_TRUE(json.out.starts_with("{\"query\":\"bulk\",\"count\":3000,\"results\":[{\"id\":"));
    EXPECT_TRUE(json.out.ends_with(",\"comment\":\"\",\"folder\":\"/\"}]}\n"));
    EXPECT_EQ(count_of(json.out, "{\"id\":"), static_cast<size_t>(kLinks));
    EXPECT_EQ(count_of(json.out, "},{"), static_cast<size_t>(kLinks) - 1);
    EXPECT_NE(json.out.find("\"title\":\"Bulk 2993\\t\",\"url\":\"http://bulk.example/7\","
                            "\"comment\":\"\",\"folder\":\"/Tech/Linux\"}"),
              std::string::npos);

    const auto page = dir / "bulk.html";
    ASSERT_EQ(run({"export-results", page.string(), "bulk"}).code, 0);
    const std::string bytes = test::read_file(page);
    EXPECT_EQ(count_of(bytes, "<p><a href="), static_cast<size_t>(kLinks));
    const size_t first = bytes.find("<p><a href=");
    const std::string lowest_title =
        "<p><a href=\"http://bulk.example/3000\" target=\"_blank\">Bulk 0000</a></p>";
    EXPECT_EQ(bytes.substr(first, lowest_title.size()), lowest_title);
}

}  // namespace
}  // namespace tb
