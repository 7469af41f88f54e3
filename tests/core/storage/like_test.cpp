#include "storage/like.h"

#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include <chrono>

#include "platform/log.h"
#include "storage/database.h"
#include "support/test_support.h"

namespace tb {
namespace {

struct LikeCase {
    const char* text;
    const char* pattern;
    bool expected;
};

template <size_t N>
void expect_matches(const LikeCase (&cases)[N]) {
    for (const LikeCase& c : cases) {
        EXPECT_EQ(LikePattern(c.pattern).matches(c.text), c.expected)
            << "'" << c.text << "' LIKE '" << c.pattern << "'";
    }
}

TEST(LikePatternTest, FullCaseInsensitiveMatchWithTwoWildcards) {
    const LikeCase cases[] = {
        {"abc", "A%", true},
        {"abc", "b", false},   // anchored at both ends
        {"a.c", "a.c", true},  // the dot is literal
        {"abc", "a.c", false},
        {"abc", "a_", true},  // "_" spans any run
        {"a", "a_", true},    // ... including an empty one
        {"abc", "%", true},
        {"", "%", true},
        {"", "", true},
        {"x", "", false},
        {"abc", "%b%", true},
        {"abc", "%bd%", false},
        {"aXbXc", "a%b%c", true},
        {"ab", "a%b%b", false},  // pieces must not overlap
        {"abab", "a%b%b", true},
        {"(x)[y]{z}^$|\\+*?", "(x)[y]{z}^$|\\+*?", true},
        {"Привет, мир", "%ПРИВ%", true},
        {"ПРИВЕТ", "привет", true},
        {"Straße", "STRASSE", false},  // simple folding only, code point by code point
        {"Ωμέγα", "%ΜΈΓΑ", true},
        {"emoji 😀 here", "%😀%", true},
    };
    expect_matches(cases);
}

// An ASCII pattern is matched on the text as it is: a piece is looked for under both cases of
// its first letter, and a candidate that fails must not hide a later one of the other case.
TEST(LikePatternTest, AsciiPiecesAreFoundUnderEitherCaseOfTheirFirstLetter) {
    const LikeCase cases[] = {
        {"PPython", "%python%", true},
        {"pPYTHON", "%python%", true},
        {"pypYpYThOn", "%python%", true},
        {"xx PYTHO", "%python%", false},
        {"py", "%python%", false},
        {"rustRUST", "%rust%rust%", true},
        {"rUST", "%rust%rust%", false},
        {"Hello WORLD", "hello%world", true},
        {"Hello WORL", "hello%world", false},
        {"HELLO", "hello", true},
        {"HELLO!", "hello", false},
        {"@home", "%@HOME%", true},  // no case to the first byte
        {"`home", "%@home%", false},
        {"[x]", "%{X}%", false},  // brackets and braces differ only in the bit of case
        {"{x}", "%[X]%", false},
        {"Zürich ZOO", "%zoo", true},
    };
    expect_matches(cases);
}

TEST(LikePatternTest, PatternsTakingTurnsOverTextsKeepTheirOwnAnswers) {
    // A row's text is handed to each pattern of its condition in turn, and the next row's text
    // may be the last one's prefix, its other case, or empty.
    const LikePattern python("%python%");
    const LikePattern rust("%RUST%");
    const LikePattern accented("%Éa%");
    const LikeCase turns[] = {
        {"Rust and Python", "p", true},
        {"Rust and Python", "r", true},
        {"Rust and Pyth", "p", false},
        {"Rust and Pyth", "r", true},
        {"", "p", false},
        {"", "r", false},
        {"PYTHON", "p", true},
        {"python", "r", false},
        {"Déjà vu ÉA", "p", false},
        {"Déjà vu ÉA", "a", true},
        {"Déjà vu É", "a", false},
        {"ABC café ÉAT", "a", true},
        {"ABC café ÉAT", "p", false},
    };
    for (const LikeCase& turn : turns) {
        const LikePattern& pattern = turn.pattern[0] == 'p'   ? python
                                     : turn.pattern[0] == 'r' ? rust
                                                              : accented;
        EXPECT_EQ(pattern.matches(turn.text), turn.expected)
            << "'" << turn.text << "' with pattern " << turn.pattern;
    }
}

// An ASCII pattern folds only the ASCII letters of the text; that is exact because no other
// code point folds into ASCII but these two, which the matcher looks for.
TEST(LikePatternTest, OnlyKelvinSignAndLongSFoldIntoAscii) {
    for (UChar32 cp = 0x80; cp <= 0x10FFFF; ++cp) {
        const UChar32 folded = u_foldCase(cp, U_FOLD_CASE_DEFAULT);
        if (folded < 0x80) {
            EXPECT_TRUE(cp == 0x212A || cp == 0x17F) << std::hex << cp;
        }
    }
    const LikeCase cases[] = {
        {"\u212Aelvin", "kelvin", true},    {"Ki\u212A", "%KK", false},
        {"Ki\u212A", "%IK", true},          {"mi\u017Fs", "%ss", true},
        {"Погода в Linux", "%LINUX", true}, {"Погода в Linux", "%погода%", true},
        {"Ünïcode text", "%text", true},    {"Ünïcode text", "ünï%", true},
    };
    expect_matches(cases);
}

TEST(LikePatternTest, InvalidUtf8IsComparedByteForByte) {
    const std::string text = std::string("a\xff") + 'b';
    EXPECT_TRUE(LikePattern("%\xff%").matches(text));
    EXPECT_FALSE(LikePattern("%\xfe%").matches(text));
    EXPECT_TRUE(LikePattern("A\xc3").matches("a\xc3"));
    // Bytes above F4 start no sequence: they must not read as the character U+5000.
    EXPECT_FALSE(LikePattern("\xe5\x80\x80").matches("\xf5\x80\x80"));
}

TEST(LikePatternTest, PathologicalPatternIsFast) {
    std::string text(10 * 1024, 'a');
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(LikePattern("%a%a%a%a%a%a%a%a%a%b").matches(text));
    text.back() = 'b';
    EXPECT_TRUE(LikePattern("%a%a%a%a%a%a%a%a%a%b").matches(text));
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 50);
}

class LikeSqlTest : public ::testing::Test {
protected:
    void SetUp() override {
        log_set_file(dir / "tagberry.log", &reporter);
        ASSERT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
    }
    void TearDown() override { log_reset(); }

    test::TempDir dir;
    RecordingReporter reporter;
    Database db{reporter};
};

TEST_F(LikeSqlTest, ReplacesTheEngineLikeOnTheConnection) {
    EXPECT_EQ(db.query_int("SELECT 'abc' LIKE 'A%'"), 1);
    EXPECT_EQ(db.query_int("SELECT 'abc' LIKE 'b'"), 0);
    EXPECT_EQ(db.query_int("SELECT 'abc' LIKE 'a_'"), 1);  // the engine's "_" is one character
    EXPECT_EQ(db.query_int("SELECT 'Привет' LIKE '%ПРИВ%'"), 1);
    EXPECT_EQ(db.query_int("SELECT like('%', NULL)", {}, -1), 0);
    EXPECT_EQ(db.query_int("SELECT NULL LIKE '%'", {}, -1), 0);
    EXPECT_EQ(db.query_int("SELECT 12 LIKE '1%'"), 1);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(LikeSqlTest, OnePatternServesEveryRowOfAStatement) {
    {
        Transaction transaction(db);
        for (int i = 0; i < 200; ++i) {
            EXPECT_TRUE(db.easy_query(
                sql_format("INSERT INTO tb_links (title, url, parent) VALUES ('%s %d', "
                           "'u', '2')",
                           i % 2 == 0 ? "Linux kernel" : "other", i)));
        }
        EXPECT_TRUE(transaction.commit());
    }
    EXPECT_EQ(db.query_int("SELECT COUNT(*) FROM tb_links WHERE title LIKE '%LINUX%' AND title "
                           "LIKE '%kernel%'"),
              100);
}

TEST_F(LikeSqlTest, EitherOfTwoPatternsOnTheSameColumn) {
    for (const char* title : {"Python tips", "rust book", "neither", "PyThOn and RUST", "", "py"}) {
        ASSERT_TRUE(
            db.easy_query("INSERT INTO tb_links (title, url, parent) VALUES (?, 'u', 1)", {title}));
    }
    std::string found;
    auto row = db.prepare(
        "SELECT title FROM tb_links WHERE title LIKE '%python%' OR title LIKE "
        "'%rust%' ORDER BY id");
    while (row && row->step() == Step::Row) {
        found += row->text(0) + "|";
    }
    EXPECT_EQ(found, "Python tips|rust book|PyThOn and RUST|");
}

}  // namespace
}  // namespace tb
