#include "platform/log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <regex>

#include "platform/messages.h"
#include "platform/reporter.h"
#include "support/test_support.h"

namespace tb {
namespace {

class LogTest : public ::testing::Test {
protected:
    void SetUp() override { log_set_file(path, &reporter); }
    void TearDown() override { log_reset(); }

    std::string content() const { return test::read_file(path); }

    test::TempDir dir;
    std::filesystem::path path = dir / "tagberry.log";
    RecordingReporter reporter;
};

const std::regex kEntry(R"(\d\d:\d\d:\d\d \d\d\.\d\d\.\d{4}\t)");

TEST_F(LogTest, CleanStartsAFreshLogWithOneLine) {
    test::write_file(path, "old line\n");
    ASSERT_TRUE(log_clean());
    const std::string text = content();
    EXPECT_TRUE(std::regex_match(
        text, std::regex(R"(\d\d:\d\d:\d\d \d\d\.\d\d\.\d{4}\tLog file cleaned\.\n)")))
        << text;
}

TEST_F(LogTest, EntriesLoseTrailingWhiteSpaceAndKeepInnerLines) {
    ASSERT_TRUE(log_clean());
    ASSERT_TRUE(log_append("first  \r\n\t "));
    ASSERT_TRUE(log_append("two\nlines"));
    ASSERT_TRUE(log_append(""));
    const std::string text = content();
    const size_t first = text.find('\n') + 1;
    const std::string rest = text.substr(first);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(rest, m, kEntry));
    EXPECT_EQ(m.position(0), 0);
    EXPECT_EQ(rest.substr(m.length(0)),
              "first\n" + rest.substr(rest.find("two") - m.length(0), m.length(0)) +
                  "two\nlines\n-----------------------------------------------------------\n");
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(LogTest, UnwritableLogIsReportedOnceButEveryCallFails) {
    if (geteuid() == 0) {
        // Root writes through permissions; a folder in place of the file fails for everyone.
        std::filesystem::create_directory(path);
    } else {
        test::write_file(path, "");
        chmod(path.c_str(), 0444);
    }
    for (int i = 0; i < 100; ++i) {
        EXPECT_FALSE(log_append("message"));
    }
    EXPECT_FALSE(log_clean());
    EXPECT_EQ(reporter.count(msg::kLogCannotOpen), 1);
    EXPECT_EQ(render(reporter.messages.front()), "Log file couldn't be opened.");
}

// Without a file named, lines go to the data folder, never to the working folder (the source or
// build tree when tests run).
TEST(LogDefaultTest, UnnamedLogIsTheDataFoldersAndResetReturnsToIt) {
    test::TempDir data;
    test::TempDir other;
    const std::string saved =
        std::getenv("TAGBERRY_DATA_DIR") ? std::getenv("TAGBERRY_DATA_DIR") : "";
    setenv("TAGBERRY_DATA_DIR", data.path().c_str(), 1);

    log_reset();
    EXPECT_TRUE(log_append("first"));
    log_set_file(other / kLogFileName, nullptr);
    EXPECT_TRUE(log_append("second"));
    log_reset();
    EXPECT_TRUE(log_append("third"));

    const std::string text = test::read_file(data / kLogFileName);
    EXPECT_NE(text.find("\tfirst\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("second"), std::string::npos) << text;
    EXPECT_NE(text.find("\tthird\n"), std::string::npos) << text;
    saved.empty() ? unsetenv("TAGBERRY_DATA_DIR") : setenv("TAGBERRY_DATA_DIR", saved.c_str(), 1);
}

}  // namespace
}  // namespace tb
