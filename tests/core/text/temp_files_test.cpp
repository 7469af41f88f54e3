#include "text/temp_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "support/test_support.h"
#include "text/text_file_writer.h"

namespace tb {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::write_file;

// Sets a file's modification time back, as if a process killed that long ago had left it.
void age_file(const fs::path& file, std::chrono::seconds age) {
    timespec times[2];
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= age.count();
    times[1] = times[0];
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << file;
}

std::set<std::string> names_in(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class StaleTempFilesTest : public ::testing::Test {
protected:
    // Old and young files of the program's own, and old files of the user's that look alike.
    void SetUp() override {
        using std::chrono::hours;
        using std::chrono::minutes;
        write_file(dir / (old_own), "killed export");
        age_file(dir / old_own, hours(2));
        write_file(dir / young_own, "export still running");
        age_file(dir / young_own, minutes(50));
        write_file(dir / "bookmarks.html.abcdef", "the user's");
        age_file(dir / "bookmarks.html.abcdef", hours(48));
        write_file(dir / "tagberry-tmp-notes", "the user's");
        age_file(dir / "tagberry-tmp-notes", hours(48));
        fs::create_directory(dir / (std::string(kTempFilePrefix) + "folder"));
        age_file(dir / (std::string(kTempFilePrefix) + "folder"), hours(48));
        fs::create_symlink(dir / "bookmarks.html.abcdef",
                           dir / (std::string(kTempFilePrefix) + "link"));
        age_file(dir / (std::string(kTempFilePrefix) + "link"), hours(48));
    }

    std::set<std::string> survivors() const {
        return {young_own, "bookmarks.html.abcdef", "tagberry-tmp-notes",
                std::string(kTempFilePrefix) + "folder", std::string(kTempFilePrefix) + "link"};
    }

    TempDir dir;
    const std::string old_own = temp_file_name("qwerty-bookmarks.html");
    const std::string young_own = temp_file_name("asdfgh-bookmarks.html");
};

TEST_F(StaleTempFilesTest, OnlyTheProgramsOwnFilesOlderThanAnHourGo) {
    EXPECT_EQ(remove_stale_temp_files(dir.path()), 1);
    EXPECT_EQ(names_in(dir.path()), survivors());
    EXPECT_EQ(remove_stale_temp_files(dir / "missing"), 0);
}

TEST_F(StaleTempFilesTest, TheNextWriteToTheFolderCleansItAndNamesItsOwnFileAlike) {
    {
        TextFileWriter writer(dir / "bookmarks.html");
        ASSERT_TRUE(writer.is_open());
        std::set<std::string> during = names_in(dir.path());
        EXPECT_EQ(during.count(old_own), 0U);
        EXPECT_EQ(during.size(), survivors().size() + 1);
        for (const std::string& name : during) {
            EXPECT_TRUE(survivors().count(name) != 0 || name.starts_with(kTempFilePrefix)) << name;
        }
        writer.write("<html>");
        ASSERT_TRUE(writer.close());
    }
    std::set<std::string> after = survivors();
    after.insert("bookmarks.html");
    EXPECT_EQ(names_in(dir.path()), after);
}

}  // namespace
}  // namespace tb
