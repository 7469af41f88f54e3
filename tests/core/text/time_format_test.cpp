#include "text/time_format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>

namespace tb {
namespace {

class LocalTimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        saved_tz_ = tz ? std::optional<std::string>(tz) : std::nullopt;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (saved_tz_) {
            setenv("TZ", saved_tz_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::optional<std::string> saved_tz_;
};

TEST_F(LocalTimeTest, FormatsByStrftimeRules) {
    EXPECT_EQ(format_local_time(0, "%H:%M:%S, %d %B %Y"), "00:00:00, 01 January 1970");
    EXPECT_EQ(format_local_time(1700000000, "%Y-%m-%d %H:%M"), "2023-11-14 22:13");
}

TEST_F(LocalTimeTest, TimesAfter2038AreNotWrapped) {
    EXPECT_EQ(format_local_time(4102444800LL, "%Y-%m-%d"), "2100-01-01");
}

TEST_F(LocalTimeTest, LongAndEmptyResults) {
    const std::string long_format(1000, 'x');
    EXPECT_EQ(format_local_time(0, (long_format + "%Y").c_str()), long_format + "1970");
    EXPECT_EQ(format_local_time(0, ""), "");
}

TEST_F(LocalTimeTest, NowIsTheCurrentYear) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    gmtime_r(&now, &local);
    EXPECT_EQ(format_now("%Y"), std::to_string(local.tm_year + 1900));
}

}  // namespace
}  // namespace tb
