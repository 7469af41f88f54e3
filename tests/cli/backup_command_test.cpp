#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli_runner.h"
#include "support/test_support.h"

namespace tb::test {
namespace {

namespace fs = std::filesystem;

class BackupCommandTest : public ::testing::Test {
protected:
    CliResult cli(const std::vector<std::string>& args) { return run_cli(data, args); }
    std::string ok(const std::vector<std::string>& args) {
        CliResult r = cli(args);
        EXPECT_EQ(r.code, 0) << args.front() << ": " << r.err;
        return r.out;
    }
    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> result;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            result.push_back(line);
        }
        return result;
    }

    TempDir dir;
    fs::path data = dir / "data";
};

TEST_F(BackupCommandTest, BackupListsAndRestoreBringsTheSnapshotBack) {
    ok({"mkdir", "/", "Kept"});
    ok({"add", "/Kept", "http://a.example/"});
    ok({"add", "/Kept", "http://b.example/"});
    const auto first = lines(ok({"backup"}));
    ASSERT_EQ(first.size(), 1u);
    EXPECT_NE(first[0].find("\tfolders 2\tlinks 2"), std::string::npos) << first[0];
    const std::string name = first[0].substr(0, first[0].find('\t'));
    EXPECT_TRUE(name.starts_with("tagberry-backup-") && name.ends_with(".db")) << name;
    EXPECT_TRUE(fs::exists(data / "backups" / name));
    const std::string tree_before = ok({"tree"});

    ok({"mkdir", "/", "Later"});
    ok({"rm", "/Kept"});
    ok({"purge"});
    EXPECT_NE(ok({"tree"}), tree_before);

    CliResult restored = cli({"restore", name});
    ASSERT_EQ(restored.code, 0) << restored.err;
    EXPECT_NE(restored.out.find("The state before is kept in"), std::string::npos);
    EXPECT_EQ(ok({"tree"}), tree_before);
    EXPECT_NE(ok({"search", "b.example"}).find("http://b.example/"), std::string::npos);

    // The first snapshot, the one before the purge and the one before the restore.
    const auto listed = lines(ok({"--json", "backup"}));
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_NE(listed[0].find(R"("folders":2,"links":0)"), std::string::npos) << listed[0];
    EXPECT_EQ(lines(ok({"backup"})).size(), 5u);
}

TEST_F(BackupCommandTest, RefusedRestoresFailWithAMessageAndChangeNothing) {
    ok({"mkdir", "/", "Kept"});
    ok({"add", "/Kept", "http://a.example/"});
    const std::string tree_before = ok({"tree"});
    write_file(dir / "junk.db", std::string(8192, 'j'));

    CliResult junk = cli({"restore", (dir / "junk.db").string()});
    EXPECT_EQ(junk.code, 1);
    EXPECT_NE(junk.err.find("junk.db"), std::string::npos) << junk.err;
    CliResult missing = cli({"restore", "tagberry-backup-none.db"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("tagberry-backup-none.db"), std::string::npos) << missing.err;
    CliResult live = cli({"restore", (data / "tb2.db").string()});
    EXPECT_EQ(live.code, 1);
    EXPECT_EQ(cli({"restore"}).code, 2);
    EXPECT_EQ(cli({"backup", "extra"}).code, 2);

    EXPECT_EQ(ok({"tree"}), tree_before);
    EXPECT_FALSE(fs::exists(data / "backups")) << "nothing to keep before a refused restore";
}

}  // namespace
}  // namespace tb::test
