#include "platform/ini_reader.h"

#include <algorithm>
#include <iterator>

#include "text/file_bytes.h"
#include "text/strings.h"
#include "text/unicode.h"

namespace tb {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Only spaces and tabs are blanks in an INI line.
constexpr std::string_view kBlanks = " \t";

bool is_blank(char ch) {
    return kBlanks.find(ch) != std::string_view::npos;
}

std::string_view trim_blanks(std::string_view text) {
    return trim(text, kBlanks);
}

int hex_digit(char ch) {
    if (ch >= '0' && ch <= '9') {
        return ch - '0';
    }
    ch = ascii_lower(ch);
    return ch >= 'a' && ch <= 'f' ? ch - 'a' + 10 : -1;
}

// Splits at CR, LF or CR LF.
std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

bool ends_with_open_backslash(std::string_view line) {
    std::size_t count = 0;
    while (count < line.size() && line[line.size() - 1 - count] == '\\') {
        ++count;
    }
    return count % 2 == 1;
}

std::string profile_value(std::string_view raw) {
    raw = trim_blanks(raw);
    if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') &&
        raw.back() == raw.front()) {
        raw = raw.substr(1, raw.size() - 2);
    }
    return std::string(raw);
}

// QSettings stores non-text values as "@Type(...)"; only byte arrays and strings read as text.
std::optional<std::string> typed_value(const std::string& text) {
    if (text.empty() || text.front() != '@') {
        return text;
    }
    if (text.starts_with("@@")) {
        return text.substr(1);
    }
    if (text.back() != ')') {
        return text;
    }
    for (std::string_view prefix : {"@ByteArray(", "@String("}) {
        if (text.starts_with(prefix)) {
            return text.substr(prefix.size(), text.size() - prefix.size() - 1);
        }
    }
    for (std::string_view prefix :
         {"@Invalid(", "@Variant(", "@DateTime(", "@Rect(", "@Size(", "@Point("}) {
        if (text.starts_with(prefix)) {
            return std::nullopt;
        }
    }
    return text;
}

// Decodes QSettings' quoting and escapes; the shape of Qt's own reader, kept so that the
// command-line tool reads exactly what the program wrote.
class ValueUnescaper {
public:
    explicit ValueUnescaper(std::string_view raw) : raw_(raw) {}

    std::optional<std::string> run() {
        skip_blanks();
        while (pos_ < raw_.size()) {
            char ch = raw_[pos_];
            if (ch == '\\') {
                escape();
            } else if (ch == '"') {
                ++pos_;
                quoted_ = true;
                in_quotes_ = !in_quotes_;
                if (!in_quotes_) {
                    skip_blanks();
                }
            } else if (ch == ',' && !in_quotes_) {
                end_item();
                current_.clear();
                quoted_ = false;
                ++pos_;
                skip_blanks();
                is_list_ = true;
            } else {
                std::size_t end = raw_.find_first_of(in_quotes_ ? "\\\"" : "\\\",", pos_);
                end = std::min(end, raw_.size());
                current_.append(raw_.substr(pos_, end - pos_));
                pos_ = end;
            }
        }
        if (is_list_) {
            return std::nullopt;
        }
        end_item();
        return typed_value(current_);
    }

private:
    void skip_blanks() {
        while (pos_ < raw_.size() && is_blank(raw_[pos_])) {
            ++pos_;
        }
        protected_ = current_.size();
    }

    // Blanks that end an unquoted item are dropped, unless an escape wrote them.
    void end_item() {
        if (!quoted_) {
            while (current_.size() > protected_ && is_blank(current_.back())) {
                current_.pop_back();
            }
        }
    }

    void escape() {
        ++pos_;
        if (pos_ >= raw_.size()) {
            return;
        }
        char ch = raw_[pos_++];
        static constexpr std::string_view kFrom = "abfnrtv\"?'\\";
        static constexpr std::string_view kTo = "\a\b\f\n\r\t\v\"?'\\";
        if (std::size_t at = kFrom.find(ch); at != std::string_view::npos) {
            current_ += kTo[at];
        } else if (ch == 'x') {
            number(16);
        } else if (ch >= '0' && ch <= '7') {
            --pos_;
            number(8);
        } else if ((ch == '\n' || ch == '\r') && pos_ < raw_.size() &&
                   (raw_[pos_] == '\n' || raw_[pos_] == '\r') && raw_[pos_] != ch) {
            ++pos_;
        }
        protected_ = current_.size();
    }

    // A run of digits naming one UTF-16 code unit, as Qt keeps it.
    void number(int base) {
        char16_t unit = 0;
        std::size_t start = pos_;
        while (pos_ < raw_.size()) {
            int digit = hex_digit(raw_[pos_]);
            if (digit < 0 || digit >= base) {
                break;
            }
            unit = static_cast<char16_t>(unit * base + digit);
            ++pos_;
        }
        if (pos_ > start) {
            append_utf8(current_, unit);
        }
    }

    std::string_view raw_;
    std::size_t pos_ = 0;
    std::string current_;
    std::size_t protected_ = 0;  // blanks before this size came from escapes and stay
    bool in_quotes_ = false;
    bool quoted_ = false;
    bool is_list_ = false;
};

}  // namespace

std::string qsettings_unescape_key(std::string_view key) {
    std::string result;
    std::size_t i = 0;
    while (i < key.size()) {
        char ch = key[i];
        if (ch == '\\') {
            result += '/';
            ++i;
            continue;
        }
        std::size_t digits_at = i + 1;
        std::size_t digits = 2;
        if (ch == '%' && digits_at < key.size() && key[digits_at] == 'U') {
            ++digits_at;
            digits = 4;
        }
        char32_t code = 0;
        bool valid = ch == '%' && digits_at + digits <= key.size();
        for (std::size_t d = 0; valid && d < digits; ++d) {
            int digit = hex_digit(key[digits_at + d]);
            valid = digit >= 0;
            code = code * 16 + static_cast<char32_t>(std::max(digit, 0));
        }
        if (valid) {
            append_utf8(result, code);
            i = digits_at + digits;
        } else {
            result += ch;
            ++i;
        }
    }
    return result;
}

std::optional<std::string> qsettings_unescape_value(std::string_view raw) {
    return ValueUnescaper(raw).run();
}

IniFile::IniFile(std::string_view text, IniDialect dialect) : dialect_(dialect) {
    if (text.starts_with(kUtf8Bom)) {
        text.remove_prefix(kUtf8Bom.size());
    }
    std::string section;
    std::string pending;
    for (std::string_view line : split_lines(text)) {
        if (dialect_ == IniDialect::QSettings && ends_with_open_backslash(line)) {
            pending.append(line.substr(0, line.size() - 1));
            continue;
        }
        if (!pending.empty()) {
            pending.append(line);
            add_line(pending, section);
            pending.clear();
        } else {
            add_line(line, section);
        }
    }
    if (!pending.empty()) {
        add_line(pending, section);
    }
}

void IniFile::add_line(std::string_view line, std::string& section) {
    line = trim_blanks(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') {
        return;
    }
    const bool qsettings = dialect_ == IniDialect::QSettings;
    if (line.front() == '[') {
        std::string_view name = line.substr(1, line.find(']') - 1);
        section =
            qsettings ? qsettings_unescape_key(trim_blanks(name)) : std::string(trim_blanks(name));
        return;
    }
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return;
    }
    std::string_view key = trim_blanks(line.substr(0, equals));
    std::string_view raw = line.substr(equals + 1);
    if (qsettings) {
        entries_.push_back({section, qsettings_unescape_key(key), qsettings_unescape_value(raw)});
    } else {
        entries_.push_back({section, std::string(key), profile_value(raw)});
    }
}

std::optional<IniFile> IniFile::load(const std::filesystem::path& path, IniDialect dialect) {
    std::optional<std::string> bytes = read_file_bytes(path);
    if (!bytes) {
        return std::nullopt;
    }
    return IniFile(*bytes, dialect);
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    if (dialect_ == IniDialect::QSettings) {
        auto found = std::find_if(entries_.rbegin(), entries_.rend(), [&](const Entry& entry) {
            return entry.section == section && entry.key == key;
        });
        return found != entries_.rend() ? found->value : std::nullopt;
    }
    auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        return iequals_ascii(entry.section, section) && iequals_ascii(entry.key, key);
    });
    return found != entries_.end() ? found->value : std::nullopt;
}

}  // namespace tb
