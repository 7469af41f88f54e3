#include "text/sql_quoting.h"

#include <gtest/gtest.h>

namespace tb {
namespace {

TEST(SqlQuoteTest, DoublesEverySingleQuote) {
    std::string text = "it's 'x' ''";
    sql_quote(text);
    EXPECT_EQ(text, "it''s ''x'' ''''");
    std::string plain = "no quotes";
    sql_quote(plain);
    EXPECT_EQ(plain, "no quotes");
}

}  // namespace
}  // namespace tb
