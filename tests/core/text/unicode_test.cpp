#include "text/unicode.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tb {
namespace {

using Lines = std::vector<std::string>;

const std::string kFFFD = "\xEF\xBF\xBD";

// UTF-16 bytes of the given units, after the matching mark.
std::string utf16(const std::u16string& units, bool big_endian) {
    std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : units) {
        char hi = static_cast<char>(unit >> 8);
        char lo = static_cast<char>(unit & 0xFF);
        out += big_endian ? hi : lo;
        out += big_endian ? lo : hi;
    }
    return out;
}

struct LinesCase {
    const char* name;
    std::string bytes;
    Lines expected;
};

void PrintTo(const LinesCase& c, std::ostream* os) {
    *os << c.name;
}

class DecodeTextLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(DecodeTextLinesTest, Decodes) {
    const Lines lines = decode_text_lines(GetParam().bytes);
    EXPECT_EQ(lines, GetParam().expected);
    for (const auto& line : lines) {
        EXPECT_TRUE(is_valid_utf8(line)) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Utf8, DecodeTextLinesTest,
    ::testing::Values(
        LinesCase{"no_mark", "a\nЖ\n", {"a", "Ж"}},
        LinesCase{"mark_is_skipped", "\xEF\xBB\xBF<DL>\r\nЖ", {"<DL>", "Ж"}},
        LinesCase{"four_byte_sequences", "😀 x\n\xF4\x8F\xBF\xBF", {"😀 x", "\xF4\x8F\xBF\xBF"}},
        LinesCase{"invalid_bytes",
                  "a\xFF"
                  "b\xC0\xAF\n",
                  {"a" + kFFFD + "b" + kFFFD + kFFFD}},
        LinesCase{"encoded_surrogate", "\xED\xA0\x80", {kFFFD + kFFFD + kFFFD}},
        LinesCase{"truncated_at_end", "ok\n\xE2\x82", {"ok", kFFFD + kFFFD}},
        LinesCase{"truncated_before_line_end", "\xF0\x9F\x98\r\nz", {kFFFD + kFFFD + kFFFD, "z"}},
        LinesCase{"mark_only", "\xEF\xBB\xBF", {}}, LinesCase{"empty", "", {}}));

INSTANTIATE_TEST_SUITE_P(
    LineEnds, DecodeTextLinesTest,
    ::testing::Values(
        LinesCase{"lf", "a\nb\n", {"a", "b"}}, LinesCase{"cr", "a\rb\r", {"a", "b"}},
        LinesCase{"crlf", "a\r\nb\r\n", {"a", "b"}},
        LinesCase{"final_line_unterminated", "a\nb", {"a", "b"}},
        LinesCase{"mixed_and_empty", "a\r\n\r\nb\n\rc\r\r\nd", {"a", "", "b", "", "c", "", "d"}},
        LinesCase{"lf_cr_is_two_ends", "a\n\rb", {"a", "", "b"}},
        LinesCase{"only_terminators", "\n\r\n", {"", ""}},
        // A stored text would end at the NUL, hiding the rest behind what the import compared.
        LinesCase{"nul_dropped", std::string("a\0b\n\0", 5), {"ab", ""}}));

INSTANTIATE_TEST_SUITE_P(
    Utf16, DecodeTextLinesTest,
    ::testing::Values(
        LinesCase{"le", utf16(u"a\u0416\r\nb", false), {"a\u0416", "b"}},
        LinesCase{"be", utf16(u"a\u0416\rb\n", true), {"a\u0416", "b"}},
        LinesCase{"le_surrogate_pair", utf16(u"x\U0001F600y", false), {"x😀y"}},
        LinesCase{"be_surrogate_pair", utf16(u"\U0010FFFF\n", true), {"\xF4\x8F\xBF\xBF"}},
        LinesCase{"lone_high",
                  utf16(u"a\xD83D"
                        u"b",
                        false),
                  {"a" + kFFFD + "b"}},
        LinesCase{"lone_low",
                  utf16(u"a\xDE00"
                        u"b",
                        true),
                  {"a" + kFFFD + "b"}},
        LinesCase{"high_at_end", utf16(u"a\xD83D", false), {"a" + kFFFD}},
        LinesCase{"high_before_line_end", utf16(u"\xD83D\r\nz", false), {kFFFD, "z"}},
        LinesCase{"two_highs_then_low", utf16(u"\xD83D\xD83D\xDE00", true), {kFFFD + "😀"}},
        LinesCase{"odd_byte_at_end", utf16(u"ab", false) + "c", {"ab" + kFFFD}},
        LinesCase{"mixed_line_ends", utf16(u"a\rb\nc\r\n\r\nd", true), {"a", "b", "c", "", "d"}},
        LinesCase{"nul_unit", utf16(std::u16string(u"a\0b", 3), false), {"ab"}},
        LinesCase{"mark_only", utf16(u"", true), {}}));

TEST(DecodeTextLinesSpeedTest, LargeFileDecodesQuickly) {
    std::string bytes;
    for (int i = 0; i < 100000; ++i) {
        bytes += "        <DT><A HREF=\"https://example.com/page/" + std::to_string(i) +
                 "\" ADD_DATE=\"1700000000\">Заголовок ссылки номер " + std::to_string(i) +
                 " 😀</A>\r\n";
    }
    const auto start = std::chrono::steady_clock::now();
    const Lines lines = decode_text_lines(bytes);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(lines.size(), 100000u);
    EXPECT_EQ(lines[99999],
              "        <DT><A HREF=\"https://example.com/page/99999\" ADD_DATE=\"1700000000\">"
              "Заголовок ссылки номер 99999 😀</A>");
    // About 13 MB; a per-character allocation would take far longer, even in a sanitizer build.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 3000);
}

// Pieces are cut at line ends of any encoding, so they decode to the lines of the whole text.
TEST(DecodeTextLinesInPiecesTest, PiecesGiveTheLinesOfTheWhole) {
    std::u16string units;
    std::string utf8 = "\xEF\xBB\xBF";
    for (int i = 0; i < 60000; ++i) {
        const std::u16string line = u"Строка " + std::u16string(i % 7, u'x') + u"\U0001F600\xD83D";
        units += line + (i % 3 == 0 ? u"\r\n" : i % 3 == 1 ? u"\n" : u"\r");
        utf8 += "Строка \xFF\xC0" + std::string(i % 7, '\0') + (i % 2 == 0 ? "\r\n" : "\n");
    }
    for (const std::string& bytes : {utf8, utf16(units, false), utf16(units, true) + "z"}) {
        std::size_t steps = 0;
        std::size_t last_done = 0;
        const auto pieces = decode_text_lines(bytes, [&](std::size_t done, std::size_t total) {
            EXPECT_GT(done, last_done);
            EXPECT_EQ(total, bytes.size());
            last_done = done;
            ++steps;
            return true;
        });
        ASSERT_TRUE(pieces.has_value());
        EXPECT_EQ(*pieces, decode_text_lines(bytes));
        EXPECT_GT(steps, 1u) << "a text of megabytes is decoded in several pieces";
        EXPECT_EQ(last_done, bytes.size());
    }
}

TEST(DecodeTextLinesInPiecesTest, AFalseStepStopsTheDecoding) {
    const std::string bytes(std::size_t{3} << 20, '\n');
    std::size_t steps = 0;
    const auto stopped = decode_text_lines(bytes, [&](std::size_t, std::size_t) {
        ++steps;
        return false;
    });
    EXPECT_FALSE(stopped.has_value());
    EXPECT_EQ(steps, 1u);
}

struct ConvertCase {
    const char* charset;
    std::string bytes;
    std::string expected;
};

void PrintTo(const ConvertCase& c, std::ostream* os) {
    *os << c.charset;
}

class ConvertToUtf8Test : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertToUtf8Test, Converts) {
    std::string out = "stale";
    ASSERT_TRUE(convert_to_utf8(GetParam().bytes, GetParam().charset, out));
    EXPECT_EQ(out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Charsets, ConvertToUtf8Test,
    ::testing::Values(
        ConvertCase{"CP1251", "\xcf\xf0\xe8\xe2\xe5\xf2 \xab\xbb \x88", "Привет «» €"},
        ConvertCase{"windows-1251", "\xc6\xe6", "Жж"},
        ConvertCase{"CP1252", "caf\xe9 \x80 \x93q\x94", "café € “q”"},
        ConvertCase{"windows-1252", "\x9f", "Ÿ"}, ConvertCase{"ISO-8859-1", "\xe9", "é"},
        ConvertCase{"KOI8-R", "\xf0\xd2\xc9", "При"}, ConvertCase{"utf-8", "Ж😀", "Ж😀"},
        // Bytes the charset does not define become U+FFFD instead of failing the text.
        ConvertCase{"Shift_JIS",
                    "a\xA0"
                    "b",
                    "a" + kFFFD + "b"},
        ConvertCase{"EUC-JP", "a\xA1z", "a" + kFFFD + "z"},
        // Mac Roman, under the name that ICU knows and under an alias that it does not.
        ConvertCase{"x-mac-roman", "\x8A\x9F", "äü"}, ConvertCase{"X-MAC-SYSTEM", "\x80", "Ä"},
        // Browsers read a Latin-1 label as windows-1252.
        ConvertCase{"iso-8859-1", "\x93q\x94", "“q”"},
        ConvertCase{"utf-8",
                    "a\xff"
                    "b",
                    "a" + kFFFD + "b"},
        // A truncated sequence is one replacement, as browsers decode it.
        ConvertCase{"utf-8", "end\xE2\x82", "end" + kFFFD}, ConvertCase{"CP1252", "", ""}));

TEST(ConvertToUtf8Test, UnknownCharsetFailsAndKeepsOutput) {
    for (const char* charset : {"no-such-charset", "", "UTF-8//IGNORE", " CP1251"}) {
        std::string out = "kept";
        EXPECT_FALSE(convert_to_utf8("abc", charset, out)) << charset;
        EXPECT_EQ(out, "kept");
    }
}

TEST(ConvertToUtf8Test, LargeInputIsWhole) {
    const std::string bytes(200000, '\xe9');
    std::string out;
    ASSERT_TRUE(convert_to_utf8(bytes, "CP1252", out));
    ASSERT_EQ(out.size(), 400000u);
    EXPECT_EQ(out.substr(399998), "é");
}

TEST(Utf8OrCp1251Test, KeepsValidUtf8AndConvertsTheRest) {
    EXPECT_EQ(utf8_or_cp1251("Привет"), "Привет");
    EXPECT_EQ(utf8_or_cp1251("\xcf\xf0\xe8\xe2\xe5\xf2"), "Привет");
    EXPECT_EQ(utf8_or_cp1251("plain"), "plain");
    // Windows-1251 leaves 98 undefined; browsers and ICU read it as the control U+0098.
    EXPECT_EQ(utf8_or_cp1251("\x98"), "\xC2\x98");
}

TEST(DecodeUtf8Test, DecodesOnlyValidSequences) {
    const std::string text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    char32_t cp = 0;
    EXPECT_EQ(decode_utf8(text, 0, cp), 1u);
    EXPECT_EQ(cp, U'A');
    EXPECT_EQ(decode_utf8(text, 1, cp), 2u);
    EXPECT_EQ(cp, U'\u00E9');
    EXPECT_EQ(decode_utf8(text, 3, cp), 3u);
    EXPECT_EQ(cp, U'\u20AC');
    EXPECT_EQ(decode_utf8(text, 6, cp), 4u);
    EXPECT_EQ(cp, U'\U0001F600');
    EXPECT_EQ(decode_utf8(text, 2, cp), 0u);
    EXPECT_EQ(decode_utf8(text, text.size(), cp), 0u);
    // Overlong forms, surrogates, lead bytes above F4 and cut sequences.
    for (std::string_view bad : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF5\x80\x80",
                                 "\xF4\x90\x80\x80", "\xE2\x82"}) {
        EXPECT_EQ(decode_utf8(bad, 0, cp), 0u) << bad;
    }
}

TEST(Utf16ToUtf8Test, PairsSurrogatesAndReplacesLoneOnes) {
    EXPECT_EQ(utf16_to_utf8(u"a\u00E9\u20AC\U0001F600"), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(utf16_to_utf8(std::u16string{u'x', 0xD800, u'y'}), "x" + kFFFD + "y");
    EXPECT_EQ(utf16_to_utf8(std::u16string{0xDC00, 0xD83D}), kFFFD + kFFFD);
    EXPECT_EQ(utf16_to_utf8(u""), "");
}

TEST(SanitizeUtf8Test, ReplacesEachInvalidByte) {
    EXPECT_EQ(sanitize_utf8("ok Ж😀"), "ok Ж😀");
    EXPECT_EQ(sanitize_utf8("\xF5\x80x\xE0\x80\x80"), kFFFD + kFFFD + "x" + kFFFD + kFFFD + kFFFD);
    EXPECT_FALSE(is_valid_utf8("\xF4\x90\x80\x80"));
    EXPECT_TRUE(is_valid_utf8("\xF4\x8F\xBF\xBF"));
}

// Each bad byte is placed on both sides of an eight-byte boundary inside long ASCII runs, where
// the check steps over whole words.
TEST(IsValidUtf8Test, FindsABadByteAnywhere) {
    const std::string ascii(23, 'a');
    for (const std::string bad : {"\xFF", "\x80", "\xC0\xAF", "\xC1\xBF", "\xC3",
                                  "\xC3"
                                  "a",
                                  "\xE2\x82", "\xED\xA0\x80", "\xF8\x88\x80\x80\x80"}) {
        for (size_t at = 0; at <= ascii.size(); ++at) {
            const std::string text = ascii.substr(0, at) + bad + ascii.substr(at);
            EXPECT_FALSE(is_valid_utf8(text)) << at;
            EXPECT_FALSE(is_valid_utf8(text.substr(0, at + bad.size()))) << at;
        }
    }
}

TEST(IsValidUtf8Test, AcceptsEverySequenceLengthAnywhere) {
    const std::string ascii(23, 'a');
    for (const std::string good : {"\xC2\x80", "\xDF\xBF", "Ж", "€", "\xEF\xBF\xBF", "😀",
                                   "\xF4\x8F\xBF\xBF", "новости «погода»"}) {
        for (size_t at = 0; at <= ascii.size(); ++at) {
            EXPECT_TRUE(is_valid_utf8(ascii.substr(0, at) + good + ascii.substr(at))) << at;
        }
    }
    EXPECT_TRUE(is_valid_utf8(""));
}

}  // namespace
}  // namespace tb
