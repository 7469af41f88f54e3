#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <memory>
#include <regex>

#include "cli_fixtures.h"
#include "cli_runner.h"
#include "support/test_support.h"

namespace tb::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Another program's connection that holds the write lock while it lives.
class WriteLock {
public:
    explicit WriteLock(const fs::path& data_dir) {
        EXPECT_EQ(sqlite3_open((data_dir / "tb2.db").c_str(), &db_), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    ~WriteLock() { sqlite3_close(db_); }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

private:
    sqlite3* db_ = nullptr;
};

int occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// A failure that says why once and claims nothing on standard output.
void expect_clean_failure(const CliResult& result, const std::string& what) {
    EXPECT_NE(result.code, 0) << what;
    EXPECT_EQ(result.out, "") << what;
    EXPECT_EQ(occurrences(result.err, "database is locked"), 1) << what << ": " << result.err;
}

struct WriteCase {
    const char* name;
    std::vector<std::string> args;
};

class ContentionTest : public ::testing::Test {
protected:
    void SetUp() override {
        write_generated_bookmarks(dir / "small.html", 60, "s");
        for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
                 {"mkdir", "/", "A; B"},
                 {"add", "/A", "http://a.example/", "--title", "Alpha"},
                 {"mv", "/B", "/A"},
                 {"import", "bookmarks", (dir / "small.html")}}) {
            const CliResult made = run_cli(data, args);
            ASSERT_EQ(made.code, 0) << args[0] << ": " << made.err;
        }
        link = std::to_string(
            DatabaseProbe(data).number("SELECT id FROM tb_links WHERE url = 'http://a.example/'"));
    }

    std::vector<WriteCase> write_cases() const {
        return {
            {"mkdir", {"mkdir", "/", "C"}},
            {"add", {"add", "/A", "http://c.example/", "--title", "Gamma"}},
            {"rm folder", {"rm", "/A/B"}},
            {"rm links", {"rm", "--links", link}},
            {"mv folder", {"mv", "/A/B", "/"}},
            {"mv links", {"mv", "--links", link, "/A/B"}},
            {"rename", {"rename", "/A", "Renamed"}},
            {"edit", {"edit", link, "--title", "Edited"}},
            {"undo", {"undo"}},
            {"purge", {"purge"}},
            {"import", {"import", "bookmarks", (dir / "small.html").string()}},
        };
    }

    TempDir dir;
    fs::path data = dir / "data";
    std::string link;
};

// Every write command waits for the other writer as long as the busy timeout allows, then fails
// with the engine's message and changes nothing; the same command succeeds, and shows in the
// database, once nothing holds the file.
TEST_F(ContentionTest, WriteCommandsFailCleanlyWhileAnotherWriterHoldsTheFile) {
    const std::string before = DatabaseProbe(data).contents();
    {
        WriteLock lock(data);
        std::vector<std::unique_ptr<CliProcess>> running;
        for (const WriteCase& c : write_cases()) {
            running.push_back(std::make_unique<CliProcess>(data, c.args));
        }
        for (std::size_t i = 0; i < running.size(); ++i) {
            expect_clean_failure(running[i]->wait(), write_cases()[i].name);
        }
    }
    EXPECT_EQ(DatabaseProbe(data).contents(), before);

    for (const WriteCase& c : write_cases()) {
        const TempDir copy;
        fs::copy(data, copy.path(), fs::copy_options::recursive);
        const CliResult free = run_cli(copy.path(), c.args);
        EXPECT_EQ(free.code, 0) << c.name << ": " << free.err;
        EXPECT_NE(DatabaseProbe(copy.path()).contents(), before) << c.name;
    }
}

// Readers never wait for a writer: not while loading, nor at their close.
TEST_F(ContentionTest, ReadCommandsWorkWhileAnotherWriterHoldsTheFile) {
    const std::vector<std::vector<std::string>> reads = {
        {"search", "Link"}, {"ls", "/A"}, {"tree"}, {"info"}, {"history"}};
    std::vector<std::string> expected;
    for (const auto& args : reads) {
        expected.push_back(run_cli(data, args).out);
    }
    WriteLock lock(data);
    for (std::size_t i = 0; i < reads.size(); ++i) {
        const auto start = Clock::now();
        const CliResult result = run_cli(data, reads[i]);
        const auto took = Clock::now() - start;
        EXPECT_EQ(result.code, 0) << reads[i][0] << ": " << result.err;
        EXPECT_EQ(result.out, expected[i]) << reads[i][0];
        EXPECT_LT(took, std::chrono::seconds(2)) << reads[i][0];
    }
}

// An import that cannot take the write lock stores nothing and says so once.
TEST_F(ContentionTest, AnImportBlockedByAnotherWriterStoresNothing) {
    write_generated_bookmarks(dir / "big.html", 2000, "b");
    const std::int64_t folders = DatabaseProbe(data).number("SELECT COUNT(*) FROM tb_folders");
    const std::int64_t links = DatabaseProbe(data).number("SELECT COUNT(*) FROM tb_links");
    {
        WriteLock lock(data);
        expect_clean_failure(run_cli(data, {"import", "bookmarks", (dir / "big.html").string()}),
                             "import");
    }
    EXPECT_EQ(DatabaseProbe(data).number("SELECT COUNT(*) FROM tb_folders"), folders);
    EXPECT_EQ(DatabaseProbe(data).number("SELECT COUNT(*) FROM tb_links"), links);
    EXPECT_EQ(DatabaseProbe(data).integrity(), "ok");
}

// Four imports at once: each stores all its links inside its own top folder or fails with a
// message and stores nothing; the links in the file are exactly those of the successes.
TEST_F(ContentionTest, ConcurrentImportsNeverInterleave) {
    constexpr int kLinks = 20000;
    const std::vector<std::string> tags = {"p", "q", "r", "t"};
    for (const std::string& tag : tags) {
        write_generated_bookmarks(dir / (tag + ".html"), kLinks, tag);
    }
    const std::int64_t links_before = DatabaseProbe(data).number("SELECT COUNT(*) FROM tb_links");
    std::vector<std::unique_ptr<CliProcess>> running;
    for (const std::string& tag : tags) {
        running.push_back(std::make_unique<CliProcess>(
            data, std::vector<std::string>{"import", "bookmarks", (dir / (tag + ".html"))}));
    }
    std::int64_t imported = 0;
    const std::regex top_line("Top folder: +([0-9]+) ");
    for (std::size_t i = 0; i < running.size(); ++i) {
        const CliResult result = running[i]->wait();
        std::smatch top;
        if (result.code != 0) {
            EXPECT_EQ(result.out, "") << tags[i];
            EXPECT_NE(result.err, "") << tags[i];
            continue;
        }
        ASSERT_TRUE(std::regex_search(result.out, top, top_line)) << result.out;
        EXPECT_NE(result.out.find("Links:       20000\n"), std::string::npos) << result.out;
        imported += kLinks;
        const std::string subtree = "WITH RECURSIVE sub(id) AS (SELECT " + top[1].str() +
                                    " UNION ALL SELECT f.id FROM tb_folders f JOIN sub ON "
                                    "f.parent = sub.id) ";
        DatabaseProbe probe(data);
        EXPECT_EQ(probe.number(subtree + "SELECT COUNT(*) FROM tb_links WHERE parent IN sub"),
                  kLinks)
            << tags[i];
        EXPECT_EQ(probe.number(subtree +
                               "SELECT COUNT(*) FROM tb_links WHERE parent IN sub AND "
                               "url NOT LIKE 'http://" +
                               tags[i] + ".example/%'"),
                  0)
            << tags[i];
    }
    EXPECT_EQ(DatabaseProbe(data).number("SELECT COUNT(*) FROM tb_links"), links_before + imported);
    EXPECT_EQ(DatabaseProbe(data).integrity(), "ok");
}

}  // namespace
}  // namespace tb::test
