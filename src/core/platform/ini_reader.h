#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

enum class IniDialect {
    // As the Windows profile functions read internet-shortcut files: section and key names compare
    // case-insensitively, the first match wins, and a value in matching quotes loses them.
    Profile,
    // As Qt's QSettings reads its INI files: names are percent-escaped and compare exactly, a later
    // key replaces an earlier one, values may be quoted and backslash-escaped, and a backslash at
    // the end of a line continues the value on the next line.
    QSettings,
};

// A parsed INI text. Lines end at CR, LF or CR LF; a UTF-8 byte-order mark is skipped; lines
// starting with ";" or "#" are comments; names and values are trimmed of blanks. Bytes are kept
// as they are, so 8-bit text reaches the caller unchanged.
class IniFile {
public:
    explicit IniFile(std::string_view text, IniDialect dialect = IniDialect::Profile);

    // std::nullopt when the file cannot be read.
    static std::optional<IniFile> load(const std::filesystem::path& path,
                                       IniDialect dialect = IniDialect::Profile);

    // The value of a key, or std::nullopt when absent. In the QSettings dialect also when the
    // value is not a single text (an unquoted comma makes it a list, "@Invalid()" and other typed
    // values are not texts).
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

private:
    struct Entry {
        std::string section;
        std::string key;
        std::optional<std::string> value;
    };

    void add_line(std::string_view line, std::string& section);

    IniDialect dialect_;
    std::vector<Entry> entries_;
};

// A section or key name as QSettings writes it, decoded: "%XX" and "%UXXXX" name a character by
// its hex code, "\" stands for "/".
std::string qsettings_unescape_key(std::string_view key);

// A value as QSettings writes it, decoded: quotes removed, backslash escapes resolved, blanks
// outside quotes trimmed, "@@" reduced to "@". std::nullopt when it is not a single text.
std::optional<std::string> qsettings_unescape_value(std::string_view raw);

}  // namespace tb
