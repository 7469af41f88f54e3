#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "cli_fixtures.h"
#include "cli_runner.h"
#include "support/test_support.h"

namespace tb::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kKills = 20;
constexpr int kLinks = 100000;

// What a piece of work leaves: the visible folders and links, the journal and every link row.
struct State {
    std::int64_t folders = 0;
    std::int64_t links = 0;
    std::int64_t journal = 0;
    std::int64_t link_rows = 0;

    bool operator==(const State&) const = default;
};

void PrintTo(const State& s, std::ostream* os) {
    *os << "{folders " << s.folders << ", links " << s.links << ", journal " << s.journal
        << ", link rows " << s.link_rows << "}";
}

State state_of(const fs::path& data) {
    DatabaseProbe probe(data);
    return {probe.number("SELECT COUNT(*) FROM tb_folders WHERE id NOT IN "
                         "(SELECT id FROM tb_undo WHERE action = 2)"),
            probe.number("SELECT COUNT(*) FROM tb_links WHERE id NOT IN (SELECT id FROM tb_undo "
                         "WHERE action = 3) AND parent NOT IN (SELECT id FROM tb_undo WHERE "
                         "action = 2)"),
            probe.number("SELECT COUNT(*) FROM tb_undo"),
            probe.number("SELECT COUNT(*) FROM tb_links")};
}

// Runs the command on copies of `start`: once to its end, then killed with SIGKILL at kKills
// moments spread over the length of that run. After each kill the file must be sound and hold
// the state before or the state after the work, never one in between.
class CrashTest : public ::testing::Test {
protected:
    void SetUp() override { write_generated_bookmarks(dir / "big.html", kLinks, "k"); }

    void kill_during(const std::vector<std::string>& args) {
        const State before = state_of(start);
        // The shorter of two whole runs, so that a run slowed by other work on the machine does
        // not push the kills past the end.
        Clock::duration length = Clock::duration::max();
        State after;
        for (int run = 0; run < 2; ++run) {
            const TempDir whole;
            fs::copy(start, whole.path(), fs::copy_options::recursive);
            const auto began = Clock::now();
            const CliResult done = run_cli(whole.path(), args);
            length = std::min(length, Clock::now() - began);
            ASSERT_EQ(done.code, 0) << done.err;
            after = state_of(whole.path());
        }
        ASSERT_NE(after, before);

        int cut = 0;
        for (int k = 0; k < kKills; ++k) {
            const TempDir victim;
            fs::copy(start, victim.path(), fs::copy_options::recursive);
            CliProcess process(victim.path(), args);
            std::this_thread::sleep_for(length * (k + 1) / (kKills + 1));
            const CliResult killed = process.kill();
            cut += killed.code == -1 ? 1 : 0;
            EXPECT_EQ(DatabaseProbe(victim.path()).integrity(), "ok") << "kill " << k;
            const State left = state_of(victim.path());
            EXPECT_TRUE(left == before || left == after)
                << "kill " << k << " left " << ::testing::PrintToString(left);
        }
        // Enough kills must land inside the work, or the test proves little.
        EXPECT_GE(cut, kKills / 4);
    }

    // A data folder with the big file imported.
    void import_big() {
        const CliResult made = run_cli(start, {"import", "bookmarks", (dir / "big.html").string()});
        ASSERT_EQ(made.code, 0) << made.err;
    }

    TempDir dir;
    fs::path start = dir / "data";
};

TEST_F(CrashTest, AKilledImportLeavesAllOrNothing) {
    ASSERT_EQ(run_cli(start, {"info"}).code, 0);
    kill_during({"import", "bookmarks", (dir / "big.html").string()});
}

TEST_F(CrashTest, AKilledDeleteOfALargeFolderLeavesAllOrNothing) {
    import_big();
    kill_during({"rm", "/Mozilla Bookmarks"});
}

TEST_F(CrashTest, AKilledPurgeLeavesAllOrNothing) {
    import_big();
    ASSERT_EQ(run_cli(start, {"rm", "/Mozilla Bookmarks"}).code, 0);
    kill_during({"purge"});
}

}  // namespace
}  // namespace tb::test
