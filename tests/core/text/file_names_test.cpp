#include "text/file_names.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tb {
namespace {

using Case = test::TextCase;

class SafeFileNameTest : public ::testing::TestWithParam<Case> {};

TEST_P(SafeFileNameTest, ReplacesUnsafeCharacters) {
    EXPECT_EQ(safe_file_name(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SafeFileNameTest,
                         ::testing::Values(Case{"news: a/b;c", "news:_a_b_c"},
                                           Case{"a\\b*c\"d<e>f", "a_b_c_d_e_f"},
                                           Case{"what?|Новости:", "what?|Новости:"}));

}  // namespace
}  // namespace tb
