#include "storage/like.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <exception>

#include "platform/log.h"
#include "text/unicode.h"

namespace tb {

namespace {

void like_function(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL ||
        sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    try {
        auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0));
        bool owned = false;
        if (pattern == nullptr) {
            auto* raw = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
            pattern = new LikePattern(std::string_view(raw, sqlite3_value_bytes(argv[0])));
            owned = true;
        }
        auto* raw = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
        bool result = pattern->matches(std::string_view(raw, sqlite3_value_bytes(argv[1])));
        sqlite3_result_int(ctx, result ? 1 : 0);
        // Handed over last: the engine may run the deleter at once.
        if (owned) {
            sqlite3_set_auxdata(ctx, 0, pattern,
                                [](void* p) { delete static_cast<LikePattern*>(p); });
        }
    } catch (const std::exception& e) {
        log_append(std::string("*** like(): pattern could not be matched: ") + e.what());
        sqlite3_result_int(ctx, 0);
    } catch (...) {
        log_append("*** like(): pattern could not be matched");
        sqlite3_result_int(ctx, 0);
    }
}

// The only code points outside ASCII whose simple case folding lies inside it.
constexpr std::string_view kKelvinSign = "\xE2\x84\xAA";  // folds to "k"
constexpr std::string_view kLongS = "\xC5\xBF";           // folds to "s"

// Whether folding the ASCII letters alone serves a pattern of ASCII only: every other byte of
// the text then stays outside ASCII whether it is folded or not, so it can never match.
bool ascii_folding_suffices(std::string_view text) {
    return text.find(kKelvinSign) == std::string_view::npos &&
           text.find(kLongS) == std::string_view::npos;
}

char lower_ascii_letter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte);
}

// Lowers the ASCII letters; true when every byte is ASCII, so that the result is the whole case
// folding.
bool lower_ascii(std::string_view text, std::string& out) {
    out.assign(text);
    unsigned char seen = 0;
    for (char& c : out) {
        seen |= static_cast<unsigned char>(c);
        c = lower_ascii_letter(c);
    }
    return seen < 0x80;
}

// Over the text as it is, for an ASCII pattern: its pieces are in lower case, and a letter of
// the text is lowered as it is compared.
struct CaselessAscii {
    static bool equal(std::string_view text, std::string_view piece) {
        return text.size() == piece.size() &&
               std::equal(piece.begin(), piece.end(), text.begin(),
                          [](char p, char t) { return p == lower_ascii_letter(t); });
    }
    // The first candidates are found by memchr, once for each case of the first letter, so
    // that a long text is not walked byte by byte.
    static size_t find(std::string_view text, std::string_view piece) {
        if (piece.empty()) {
            return 0;
        }
        const char small = piece.front();
        const char capital =
            small >= 'a' && small <= 'z' ? static_cast<char>(small - ('a' - 'A')) : small;
        size_t next_small = text.find(small);
        size_t next_capital = capital == small ? std::string_view::npos : text.find(capital);
        for (;;) {
            const size_t at = std::min(next_small, next_capital);
            if (at == std::string_view::npos || at + piece.size() > text.size()) {
                return std::string_view::npos;
            }
            if (equal(text.substr(at, piece.size()), piece)) {
                return at;
            }
            if (at == next_small) {
                next_small = text.find(small, at + 1);
            } else {
                next_capital = text.find(capital, at + 1);
            }
        }
    }
};

// Over a text folded like the pattern.
struct Exact {
    static bool equal(std::string_view text, std::string_view piece) { return text == piece; }
    static size_t find(std::string_view text, std::string_view piece) { return text.find(piece); }
};

}  // namespace

void fold_case_utf8(std::string_view text, std::string& out) {
    // A search with a pattern outside ASCII folds every text it looks at. Most text is ASCII: it
    // is lowered in one pass, and only from the first other byte on does the case folding run.
    if (lower_ascii(text, out)) {
        return;
    }
    // The text has a byte outside ASCII, so this stops on it.
    size_t i = 0;
    while (static_cast<unsigned char>(text[i]) < 0x80) {
        ++i;
    }
    out.resize(i);
    while (i < text.size()) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out += lower_ascii_letter(static_cast<char>(b));
            ++i;
            continue;
        }
        char32_t cp = 0;
        size_t len = decode_utf8(text, i, cp);
        if (len == 0) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        append_utf8(
            out, static_cast<char32_t>(u_foldCase(static_cast<UChar32>(cp), U_FOLD_CASE_DEFAULT)));
        i += len;
    }
}

LikePattern::LikePattern(std::string_view pattern) {
    std::string folded;
    fold_case_utf8(pattern, folded);
    auto is_wild = [](char c) { return c == '%' || c == '_'; };
    has_wild_ = folded.find_first_of("%_") != std::string::npos;
    ascii_ = std::all_of(folded.begin(), folded.end(),
                         [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    leading_wild_ = !folded.empty() && is_wild(folded.front());
    trailing_wild_ = !folded.empty() && is_wild(folded.back());
    std::string piece;
    for (char c : folded) {
        if (!is_wild(c)) {
            piece += c;
        } else if (!piece.empty()) {
            pieces_.push_back(std::move(piece));
            piece.clear();
        }
    }
    if (!piece.empty() || pieces_.empty()) {
        pieces_.push_back(std::move(piece));
    }
}

bool LikePattern::matches(std::string_view text) const {
    if (ascii_ && ascii_folding_suffices(text)) {
        return match_pieces<CaselessAscii>(text);
    }
    // A condition such as "a LIKE x OR a LIKE y" hands over the same text once per pattern: it is
    // folded only the first time.
    thread_local std::string source;
    thread_local std::string folded;
    if (text != source) {
        fold_case_utf8(text, folded);
        source.assign(text);
    }
    return match_pieces<Exact>(folded);
}

template <class Compare>
bool LikePattern::match_pieces(std::string_view rest) const {
    if (!has_wild_) {
        return Compare::equal(rest, pieces_.front());
    }
    size_t first = 0;
    size_t last = pieces_.size();
    if (!leading_wild_) {
        const std::string& head = pieces_.front();
        if (rest.size() < head.size() || !Compare::equal(rest.substr(0, head.size()), head)) {
            return false;
        }
        rest.remove_prefix(head.size());
        first = 1;
    }
    if (!trailing_wild_ && first < last) {
        const std::string& tail = pieces_.back();
        if (rest.size() < tail.size() ||
            !Compare::equal(rest.substr(rest.size() - tail.size()), tail)) {
            return false;
        }
        rest.remove_suffix(tail.size());
        --last;
    }
    for (size_t i = first; i < last; ++i) {
        const size_t at = Compare::find(rest, pieces_[i]);
        if (at == std::string_view::npos) {
            return false;
        }
        rest.remove_prefix(at + pieces_[i].size());
    }
    return true;
}

bool register_like_function(sqlite3* db) {
    return sqlite3_create_function(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   like_function, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace tb
