#include "platform/ini_reader.h"

#include <gtest/gtest.h>

#include "platform/ini_settings_store.h"
#include "support/test_support.h"

namespace tb {
namespace {

using test::TempDir;

constexpr std::string_view kShortcut = "InternetShortcut";

TEST(IniReaderTest, ShortcutWithBomAndCrLf) {
    IniFile file("\xEF\xBB\xBF[InternetShortcut]\r\nURL=http://example.com/\r\nIconIndex=0\r\n");
    EXPECT_EQ(file.value(kShortcut, "URL"), "http://example.com/");
    EXPECT_EQ(file.value(kShortcut, "IconIndex"), "0");
}

TEST(IniReaderTest, NamesCompareWithoutCase) {
    IniFile file("[internetSHORTCUT]\nurl=http://a/\n");
    EXPECT_EQ(file.value(kShortcut, "URL"), "http://a/");
    EXPECT_EQ(file.value("INTERNETSHORTCUT", "Url"), "http://a/");
}

TEST(IniReaderTest, BlanksAroundNamesAndValuesAreTrimmed) {
    IniFile file("  [ InternetShortcut ]  \r\n \tURL  =  http://a/b c \t\r\n");
    EXPECT_EQ(file.value(kShortcut, "URL"), "http://a/b c");
}

TEST(IniReaderTest, ValueKeepsEqualsSigns) {
    IniFile file("[InternetShortcut]\nURL=http://a/?x=1&y==2\n");
    EXPECT_EQ(file.value(kShortcut, "URL"), "http://a/?x=1&y==2");
}

TEST(IniReaderTest, MissingKeysSectionsAndOtherSections) {
    IniFile file(
        "URL=http://before-any-section/\n"
        "[DEFAULT]\nBASEURL=http://base/\n"
        "[InternetShortcut]\nIconFile=x.ico\nEmpty=\n");
    EXPECT_EQ(file.value(kShortcut, "URL"), std::nullopt);
    EXPECT_EQ(file.value("Missing", "BASEURL"), std::nullopt);
    EXPECT_EQ(file.value(kShortcut, "BASEURL"), std::nullopt);
    EXPECT_EQ(file.value("DEFAULT", "BASEURL"), "http://base/");
    EXPECT_EQ(file.value(kShortcut, "Empty"), "");
}

TEST(IniReaderTest, CommentAndMalformedLinesAreIgnored) {
    IniFile file(
        "[InternetShortcut]\n; URL=http://semicolon/\n  # URL=http://hash/\nno equals sign\n"
        "URL=http://real/\n");
    EXPECT_EQ(file.value(kShortcut, "URL"), "http://real/");
    EXPECT_EQ(file.value(kShortcut, "; URL"), std::nullopt);
}

TEST(IniReaderTest, ProfileTakesFirstMatchAndStripsMatchingQuotes) {
    IniFile file("[InternetShortcut]\rURL=\"http://first/\"\rurl=http://second/\r");
    EXPECT_EQ(file.value(kShortcut, "URL"), "http://first/");
    IniFile unmatched("[S]\nA='x\"\nB=\"\n");
    EXPECT_EQ(unmatched.value("S", "A"), "'x\"");
    EXPECT_EQ(unmatched.value("S", "B"), "\"");
}

TEST(IniReaderTest, EightBitBytesAreKept) {
    IniFile file("[InternetShortcut]\nURL=http://caf\xE9/\n");
    EXPECT_EQ(file.value(kShortcut, "URL"), "http://caf\xE9/");
}

TEST(IniReaderTest, LoadReadsFileOrFails) {
    TempDir dir;
    test::write_file(dir / "a.url", "[InternetShortcut]\r\nURL=http://a/\r\n");
    std::optional<IniFile> file = IniFile::load(dir / "a.url");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->value(kShortcut, "URL"), "http://a/");
    EXPECT_FALSE(IniFile::load(dir / "missing.url"));
}

TEST(QSettingsIniTest, KeysAreUnescaped) {
    EXPECT_EQ(qsettings_unescape_key("Left%20pane%20width"), "Left pane width");
    EXPECT_EQ(qsettings_unescape_key("Key%DC"), "Key\xC3\x9C");
    EXPECT_EQ(qsettings_unescape_key("%U0416x"), "\xD0\x96x");
    EXPECT_EQ(qsettings_unescape_key("a\\b%3Dc%25"), "a/b=c%");
    // Incomplete or invalid escapes stay as written.
    EXPECT_EQ(qsettings_unescape_key("50%"), "50%");
    EXPECT_EQ(qsettings_unescape_key("%zz%2"), "%zz%2");
}

TEST(QSettingsIniTest, ValuesAreUnquotedAndUnescaped) {
    EXPECT_EQ(qsettings_unescape_value("200"), "200");
    EXPECT_EQ(qsettings_unescape_value("-1"), "-1");
    EXPECT_EQ(qsettings_unescape_value(""), "");
    EXPECT_EQ(qsettings_unescape_value("\"A;B;C;\""), "A;B;C;");
    EXPECT_EQ(qsettings_unescape_value("\"/usr/bin/a b;C:\\\\x;\\\"q\\\";\""),
              "/usr/bin/a b;C:\\x;\"q\";");
    EXPECT_EQ(qsettings_unescape_value("\"  lead and trail  \""), "  lead and trail  ");
    EXPECT_EQ(qsettings_unescape_value("  abc  "), "abc");
    EXPECT_EQ(qsettings_unescape_value("a\\tb\\nc"), "a\tb\nc");
    EXPECT_EQ(qsettings_unescape_value("a\\x41\\101\\qz"), "aAAz");
    EXPECT_EQ(qsettings_unescape_value("a\\x20"), "a ");
    EXPECT_EQ(qsettings_unescape_value("\"a, b\""), "a, b");
    EXPECT_EQ(qsettings_unescape_value("@@foo"), "@foo");
    EXPECT_EQ(qsettings_unescape_value("@ByteArray(abc)"), "abc");
    EXPECT_EQ(qsettings_unescape_value("@other"), "@other");
}

TEST(QSettingsIniTest, ListsAndTypedValuesAreNotTexts) {
    EXPECT_EQ(qsettings_unescape_value("a, b"), std::nullopt);
    EXPECT_EQ(qsettings_unescape_value("\" q \" , x"), std::nullopt);
    EXPECT_EQ(qsettings_unescape_value("@Invalid()"), std::nullopt);
    EXPECT_EQ(qsettings_unescape_value("@Variant(\\0\\0\\0\\x7f)"), std::nullopt);
}

TEST(QSettingsIniTest, FileFollowsQtLookupRules) {
    IniFile file(
        "\xEF\xBB\xBF[Settings]\r\n"
        "; List%20style=8\r\n"
        "List style=1\r\n"
        "List%20style=2\r\n"
        "list%20style=3\r\n"
        "Cont=ab\\\r\n"
        " cd\r\n"
        "Even=ab\\\\\r\n"
        "[settings]\r\n"
        "List%20style=9\r\n"
        "[Settings]\r\n"
        "Late=\"x\"\r\n",
        IniDialect::QSettings);
    EXPECT_EQ(file.value("Settings", "List style"), "2");
    EXPECT_EQ(file.value("Settings", "list style"), "3");
    EXPECT_EQ(file.value("settings", "List style"), "9");
    EXPECT_EQ(file.value("Settings", "Cont"), "ab cd");
    EXPECT_EQ(file.value("Settings", "Even"), "ab\\");
    EXPECT_EQ(file.value("Settings", "Late"), "x");
}

// Written by Qt 6.4's QSettings for organisation "Quillmont", application "Tagberry 2.0".
constexpr std::string_view kQtWritten =
    "[Settings]\n"
    "Application%20Names=\"A;B;C;\"\n"
    "Application%20Paths=\"/usr/bin/a b;C:\\\\x\\\\y;\\\"q\\\";\"\n"
    "Drop%20Window%20Pos%20X=-1\n"
    "Left%20pane%20width=321\n"
    "List%20style=4\n"
    "Show%20Drop%20Window=1\n";

TEST(IniSettingsStoreTest, ReadsTheFileQtWrites) {
    TempDir dir;
    test::write_file(dir / "Tagberry 2.0.conf", kQtWritten);
    IniSettingsStore store(dir / "Tagberry 2.0.conf");
    Settings settings = load_settings(store);

    EXPECT_EQ(settings.left_pane_width, 321);
    EXPECT_EQ(settings.list_style, 1);
    EXPECT_EQ(settings.drop_window_pos_x, -1);
    EXPECT_TRUE(settings.show_drop_window);
    EXPECT_EQ(settings.applications,
              (std::vector<Application>{
                  {0, "A", "/usr/bin/a b"}, {1, "B", "C:\\x\\y"}, {2, "C", "\"q\""}}));
    store.write_int("Left pane width", 5);
    EXPECT_EQ(store.read_int("Left pane width"), 321);
}

TEST(IniSettingsStoreTest, NumbersMustBeWholeIntegers) {
    TempDir dir;
    test::write_file(dir / "s.conf",
                     "[Settings]\nA=12x\nB=\nC=+7\nD=99999999999\nE=\" 8 \"\nF=+-5\nG=abc\n");
    IniSettingsStore store(dir / "s.conf");
    EXPECT_EQ(store.read_int("A"), std::nullopt);
    EXPECT_EQ(store.read_int("B"), std::nullopt);
    EXPECT_EQ(store.read_int("C"), 7);
    EXPECT_EQ(store.read_int("D"), std::nullopt);
    EXPECT_EQ(store.read_int("E"), 8);
    EXPECT_EQ(store.read_int("F"), std::nullopt);
    EXPECT_EQ(store.read_int("G"), std::nullopt);
    EXPECT_EQ(store.read_int("Missing"), std::nullopt);
}

TEST(IniSettingsStoreTest, MissingFileReadsAsDefaults) {
    TempDir dir;
    IniSettingsStore store(dir / "absent.conf");
    EXPECT_EQ(load_settings(store), Settings());
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(IniSettingsStoreTest, SettingsFileFollowsXdgConfigHome) {
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/tmp/cfg");
        EXPECT_EQ(settings_file_path(), "/tmp/cfg/Quillmont/Tagberry 2.0.conf");
    }
    ScopedEnv xdg("XDG_CONFIG_HOME", "");
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(settings_file_path(), "/home/someone/.config/Quillmont/Tagberry 2.0.conf");
}

}  // namespace
}  // namespace tb
