#include "text/strings.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/test_support.h"
#include "text/file_bytes.h"

namespace tb {
namespace {

TEST(TrimTest, RemovesOnlyTheGivenBlanksAtTheEnds) {
    EXPECT_EQ(trim(" \t\v\f\r\na b\n\r\f\v\t "), "a b");
    EXPECT_EQ(trim(" \v x \v ", kLineBlanks), "\v x \v");
    EXPECT_EQ(trim("\t x\t", " "), "\t x\t");
    EXPECT_EQ(trim(" \t\r\n", kLineBlanks), "");
    EXPECT_EQ(trim(""), "");
    EXPECT_EQ(trim_end("  a  \n"), "  a");
    EXPECT_EQ(trim_end(" \n"), "");
}

TEST(AsciiCaseTest, FoldsAsciiLettersOnly) {
    EXPECT_TRUE(iequals_ascii("InternetShortcut", "INTERNETshortcut"));
    EXPECT_FALSE(iequals_ascii("URL", "URLs"));
    // The UTF-8 bytes of "É" and "é" differ and are not folded.
    EXPECT_FALSE(iequals_ascii("\xC3\x89", "\xC3\xA9"));
    EXPECT_FALSE(iequals_ascii("[", "{"));
    EXPECT_TRUE(istarts_with_ascii("MAILTO:a@b", "mailto:"));
    EXPECT_FALSE(istarts_with_ascii("mail", "mailto:"));
    EXPECT_TRUE(iends_with_ascii("Page.HTM", ".htm"));
    EXPECT_FALSE(iends_with_ascii("htm", ".htm"));
    EXPECT_TRUE(is_ascii_space('\v'));
    EXPECT_FALSE(is_ascii_space('\0'));
}

TEST(ReadFileBytesTest, WholeFileOrNothing) {
    test::TempDir dir;
    const std::string bytes("a\0b\r\n\xFF", 6);
    test::write_file(dir / "f.bin", bytes);
    EXPECT_EQ(read_file_bytes(dir / "f.bin"), bytes);
    test::write_file(dir / "empty", "");
    EXPECT_EQ(read_file_bytes(dir / "empty"), "");
    EXPECT_EQ(read_file_bytes(dir / "missing"), std::nullopt);
    EXPECT_EQ(read_file_bytes(dir.path()), std::nullopt);
}

TEST(ReadFileBytesTest, InPiecesWithProgressUntilStopped) {
    test::TempDir dir;
    std::string bytes(std::size_t{9} << 20, 'a');
    bytes.back() = '\xFF';
    test::write_file(dir / "large.bin", bytes);
    std::vector<std::size_t> done;
    auto whole = read_file_bytes(dir / "large.bin", [&](std::size_t at, std::size_t total) {
        EXPECT_EQ(total, bytes.size());
        done.push_back(at);
        return true;
    });
    EXPECT_EQ(whole, bytes);
    ASSERT_GE(done.size(), 3u);
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_EQ(done.back(), bytes.size());

    std::size_t steps = 0;
    auto stopped =
        read_file_bytes(dir / "large.bin", [&](std::size_t, std::size_t) { return ++steps < 2; });
    EXPECT_EQ(stopped, std::nullopt);
    EXPECT_EQ(steps, 2u);
    EXPECT_EQ(read_file_bytes(dir / "missing", [](std::size_t, std::size_t) { return true; }),
              std::nullopt);
}

}  // namespace
}  // namespace tb
