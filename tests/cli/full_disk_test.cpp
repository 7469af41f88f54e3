#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cli_fixtures.h"
#include "cli_runner.h"
#include "support/test_support.h"

namespace tb::test {
namespace {

namespace fs = std::filesystem;

// A small file system of the test's own, mounted for each test and unmounted at its end, even
// when the test fails. Mounting needs root; elsewhere the tests are skipped, but not under CI.
class FullDiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "mounting a small tmpfs needs root; full-disk tests skipped";
        }
        fs::create_directory(mount_point);
        if (::mount("tmpfs", mount_point.c_str(), "tmpfs", 0, "size=8m") != 0) {
            const std::string why = std::strerror(errno);
            if (std::getenv("CI") != nullptr) {
                FAIL() << "cannot mount a tmpfs: " << why;
            }
            GTEST_SKIP() << "cannot mount a tmpfs (" << why << "); full-disk tests skipped";
        }
        mounted = true;
    }

    void TearDown() override {
        if (mounted) {
            EXPECT_EQ(::umount2(mount_point.c_str(), MNT_DETACH), 0) << std::strerror(errno);
        }
    }

    // Takes all the free space but `spare` bytes.
    void fill_leaving(std::uint64_t spare) {
        fs::remove(filler());
        struct statvfs info {};
        ASSERT_EQ(::statvfs(mount_point.c_str(), &info), 0);
        const std::uint64_t free = std::uint64_t{info.f_bavail} * info.f_frsize;
        ASSERT_GE(free, spare);
        const int fd = ::open(filler().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        const std::vector<char> block(65536, 'x');
        for (std::uint64_t left = free - spare; left > 0;) {
            const std::size_t size = std::min<std::uint64_t>(left, block.size());
            const ssize_t n = ::write(fd, block.data(), size);
            if (n <= 0) {
                break;
            }
            left -= static_cast<std::uint64_t>(n);
        }
        ::close(fd);
    }

    fs::path filler() const { return mount_point / "filler"; }

    // A failure that says why and claims nothing.
    static void expect_clean_failure(const CliResult& result, const std::string& what) {
        EXPECT_NE(result.code, 0) << what << ": " << result.out;
        EXPECT_NE(result.err, "") << what;
        EXPECT_EQ(result.out.find("Links:"), std::string::npos) << what << ": " << result.out;
    }

    // With room again, so that reading the file needs no space of its own.
    void expect_unchanged(const std::string& before, const std::string& what) {
        fs::remove(filler());
        EXPECT_EQ(DatabaseProbe(data).integrity(), "ok") << what;
        EXPECT_EQ(DatabaseProbe(data).contents(), before) << what;
    }

    TempDir dir;
    fs::path mount_point = dir / "disk";
    fs::path data = mount_point / "data";
    bool mounted = false;
};

// A first start on a full disk fails; the next one, with room, completes the database.
TEST_F(FullDiskTest, FirstStartFailsCleanlyAndIsCompletedLater) {
    fs::create_directory(data);
    fill_leaving(0);
    expect_clean_failure(run_cli(data, {"info"}), "first start");
    fs::remove(filler());
    const CliResult again = run_cli(data, {"tree"});
    EXPECT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(again.out, "1\t0\t/\n");
    EXPECT_EQ(DatabaseProbe(data).integrity(), "ok");
}

TEST_F(FullDiskTest, ImportDeleteAndExportFailCleanlyAndChangeNothing) {
    write_generated_bookmarks(dir / "links.html", 20000, "f");
    const CliResult first = run_cli(data, {"import", "bookmarks", (dir / "links.html").string()});
    ASSERT_EQ(first.code, 0) << first.err;
    ASSERT_EQ(run_cli(data, {"mkdir", "/", "Kept"}).code, 0);
    const std::string exported = (mount_point / "export.html").string();
    ASSERT_EQ(run_cli(data, {"export", exported}).code, 0);
    const std::string old_export = read_file(exported);
    const std::string before = DatabaseProbe(data).contents();

    // Room for the snapshot taken before the import, not for the import itself.
    fill_leaving(fs::file_size(data / "tb2.db") + 512 * 1024);
    expect_clean_failure(run_cli(data, {"import", "bookmarks", (dir / "links.html").string()}),
                         "import");
    expect_unchanged(before, "import");

    // Room to open the file (the 32 KiB index of its log, the log's header) and to append to the
    // program's log, not for the pages of the delete.
    constexpr std::uint64_t kRoomToOpen = 40 * 1024;
    fill_leaving(kRoomToOpen);
    expect_clean_failure(run_cli(data, {"rm", "/Mozilla Bookmarks"}), "delete");
    expect_unchanged(before, "delete");

    fill_leaving(kRoomToOpen);
    expect_clean_failure(run_cli(data, {"export", exported}), "export");
    EXPECT_EQ(read_file(exported), old_export);
    for (const auto& entry : fs::directory_iterator(mount_point)) {
        EXPECT_FALSE(entry.path().filename().string().starts_with(".tagberry-tmp-"))
            << entry.path();
    }

    expect_unchanged(before, "export");
    const CliResult later = run_cli(data, {"rm", "/Mozilla Bookmarks"});
    EXPECT_EQ(later.code, 0) << later.err;
    EXPECT_EQ(DatabaseProbe(data).integrity(), "ok");
}

}  // namespace
}  // namespace tb::test
