#include "text/text_file_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/test_support.h"

namespace tb {
namespace {

namespace fs = std::filesystem;
using test::FileSizeLimit;
using test::read_file;
using test::TempDir;
using test::write_file;

// Files in dir other than the given one; a leftover temporary file shows up here.
std::vector<std::string> other_files(const fs::path& dir, const std::string& expected) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().filename() != expected) {
            names.push_back(entry.path().filename().string());
        }
    }
    return names;
}

std::string written(const TempDir& dir, std::initializer_list<std::string_view> parts) {
    TextFileWriter writer(dir / "out.html");
    EXPECT_TRUE(writer.is_open());
    for (auto part : parts) {
        writer.write(part);
    }
    EXPECT_TRUE(writer.close());
    return read_file(dir / "out.html");
}

struct WriteCase {
    const char* name;
    std::string text;
    std::string bytes;
};

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

class TextFileWriterContentTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(TextFileWriterContentTest, WritesMarkThenUtf8) {
    TempDir dir;
    EXPECT_EQ(written(dir, {GetParam().text}), "\xEF\xBB\xBF" + GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextFileWriterContentTest,
    ::testing::Values(WriteCase{"one_letter", "A", "A"}, WriteCase{"empty", "", ""},
                      WriteCase{"cyrillic_and_guillemets", "«Ж»", "«Ж»"},
                      WriteCase{"four_byte_sequences", "😀\xF4\x8F\xBF\xBF", "😀\xF4\x8F\xBF\xBF"},
                      WriteCase{"invalid_bytes", "a\xFF\xC0", "a\xEF\xBF\xBD\xEF\xBF\xBD"},
                      // An encoded surrogate is invalid UTF-8, so no surrogate reaches the file.
                      WriteCase{"encoded_surrogate", "\xED\xA0\xBD",
                                "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
                      WriteCase{"line_ends_untranslated", "a\nb\r\n", "a\nb\r\n"}));

TEST(TextFileWriterTest, ManyWritesAreJoinedInOrder) {
    TempDir dir;
    std::string expected = "\xEF\xBB\xBF";
    TextFileWriter writer(dir / "big.html");
    ASSERT_TRUE(writer.is_open());
    for (int i = 0; i < 100000; ++i) {
        const std::string line =
            "<DT><A HREF=\"https://example.com/" + std::to_string(i) + "\">Ж</A>\n";
        writer.write(line);
        expected += line;
    }
    ASSERT_TRUE(writer.close());
    EXPECT_EQ(read_file(dir / "big.html"), expected);
    EXPECT_TRUE(other_files(dir.path(), "big.html").empty());
}

TEST(TextFileWriterTest, ReplacesOldFileOnlyAtClose) {
    TempDir dir;
    write_file(dir / "out.html", "old contents");
    TextFileWriter writer(dir / "out.html");
    ASSERT_TRUE(writer.is_open());
    writer.write("new");
    EXPECT_EQ(read_file(dir / "out.html"), "old contents");
    ASSERT_TRUE(writer.close());
    EXPECT_EQ(read_file(dir / "out.html"), "\xEF\xBB\xBFnew");
    EXPECT_TRUE(other_files(dir.path(), "out.html").empty());
    EXPECT_FALSE(writer.close());
}

TEST(TextFileWriterTest, KeepsPermissionsOfReplacedFile) {
    TempDir dir;
    write_file(dir / "out.html", "old");
    fs::permissions(dir / "out.html", fs::perms::owner_read | fs::perms::owner_write);
    TextFileWriter writer(dir / "out.html");
    writer.write("new");
    ASSERT_TRUE(writer.close());
    EXPECT_EQ(fs::status(dir / "out.html").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST(TextFileWriterTest, UnclosedWriterLeavesNothingBehind) {
    TempDir dir;
    write_file(dir / "out.html", "old");
    {
        TextFileWriter writer(dir / "out.html");
        ASSERT_TRUE(writer.is_open());
        writer.write("abandoned");
    }
    EXPECT_EQ(read_file(dir / "out.html"), "old");
    EXPECT_TRUE(other_files(dir.path(), "out.html").empty());
}

TEST(TextFileWriterTest, MissingFolderIsNotOpenAndCreatesNothing) {
    TempDir dir;
    TextFileWriter writer(dir / "missing" / "out.html");
    EXPECT_FALSE(writer.is_open());
    writer.write("x");
    EXPECT_FALSE(writer.close());
    EXPECT_FALSE(fs::exists(dir / "missing"));
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(TextFileWriterTest, ReadOnlyFolderIsNotOpen) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    TempDir dir;
    fs::create_directory(dir / "ro");
    write_file(dir / "ro" / "out.html", "old");
    fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    {
        TextFileWriter writer(dir / "ro" / "out.html");
        EXPECT_FALSE(writer.is_open());
    }
    fs::permissions(dir / "ro", fs::perms::owner_all);
    EXPECT_EQ(read_file(dir / "ro" / "out.html"), "old");
    EXPECT_TRUE(other_files(dir / "ro", "out.html").empty());
}

TEST(TextFileWriterTest, FolderRefusingNewFilesIsNotOpen) {
    TextFileWriter writer("/proc/tagberry-writer-test.html");
    EXPECT_FALSE(writer.is_open());
    EXPECT_FALSE(writer.close());
}

TEST(TextFileWriterTest, FailedRenameIsReported) {
    TempDir dir;
    fs::create_directory(dir / "sub");
    TextFileWriter writer(dir / "sub" / "out.html");
    ASSERT_TRUE(writer.is_open());
    writer.write("text");
    fs::remove_all(dir / "sub");
    EXPECT_FALSE(writer.close());
    EXPECT_FALSE(fs::exists(dir / "sub"));
}

TEST(TextFileWriterTest, TargetThatIsAFolderIsRefusedAndLeavesNoTemporaryFile) {
    TempDir dir;
    fs::create_directory(dir / "out.html");
    write_file(dir / "out.html" / "inside", "kept");
    TextFileWriter writer(dir / "out.html");
    EXPECT_FALSE(writer.is_open());
    EXPECT_TRUE(writer.target_not_a_file());
    writer.write("text");
    EXPECT_FALSE(writer.close());
    EXPECT_EQ(read_file(dir / "out.html" / "inside"), "kept");
    EXPECT_TRUE(other_files(dir.path(), "out.html").empty());
}

TEST(TextFileWriterTest, FailedWriteLeavesOldFileIntact) {
    TempDir dir;
    write_file(dir / "out.html", "old contents");
    bool closed = true;
    {
        TextFileWriter writer(dir / "out.html");
        ASSERT_TRUE(writer.is_open());
        FileSizeLimit limit(64 * 1024);
        const std::string chunk(4096, 'x');
        for (int i = 0; i < 256; ++i) {
            writer.write(chunk);
        }
        closed = writer.close();
    }
    EXPECT_FALSE(closed);
    EXPECT_EQ(read_file(dir / "out.html"), "old contents");
    EXPECT_TRUE(other_files(dir.path(), "out.html").empty());
}

TEST(TextFileWriterSymlinkTest, WritesThroughAChainOfLinksAndKeepsThem) {
    TempDir dir;
    fs::create_directory(dir / "real");
    write_file(dir / "real" / "bookmarks.html", "old");
    fs::create_symlink("real/bookmarks.html", dir / "middle.html");
    fs::create_symlink(dir / "middle.html", dir / "export.html");
    TextFileWriter writer(dir / "export.html");
    ASSERT_TRUE(writer.is_open());
    writer.write("new");
    ASSERT_TRUE(writer.close());
    EXPECT_TRUE(fs::is_symlink(dir / "export.html"));
    EXPECT_TRUE(fs::is_symlink(dir / "middle.html"));
    EXPECT_EQ(read_file(dir / "real" / "bookmarks.html"), "\xEF\xBB\xBFnew");
    // The temporary file was made beside the target and is gone.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 1);
}

TEST(TextFileWriterSymlinkTest, DanglingLinkCreatesItsTarget) {
    TempDir dir;
    fs::create_symlink("made.html", dir / "link.html");
    TextFileWriter writer(dir / "link.html");
    writer.write("x");
    ASSERT_TRUE(writer.close());
    EXPECT_TRUE(fs::is_symlink(dir / "link.html"));
    EXPECT_EQ(read_file(dir / "made.html"), "\xEF\xBB\xBFx");
}

TEST(TextFileWriterSymlinkTest, FifoAndDeviceTargetsAreRefusedUntouched) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", dir / "null.html");
    for (const fs::path& target : {dir / "pipe", dir / "null.html"}) {
        TextFileWriter writer(target);
        EXPECT_FALSE(writer.is_open()) << target;
        EXPECT_TRUE(writer.target_not_a_file()) << target;
        EXPECT_FALSE(writer.close());
    }
    EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
    EXPECT_TRUE(fs::is_symlink(dir / "null.html"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace tb
