#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>
#include <vector>

namespace tb {

// A "like" pattern: a full, case-insensitive match in which "%" and "_" both stand for any run
// of characters and every other character is literal. Matching is linear in practice: the
// literal pieces are found left to right, which is exact when the only wildcard is "any run".
class LikePattern {
public:
    explicit LikePattern(std::string_view pattern);
    bool matches(std::string_view text) const;

private:
    template <class Compare>
    bool match_pieces(std::string_view text) const;

    std::vector<std::string> pieces_;  // case-folded literal pieces between wildcards
    bool leading_wild_ = false;
    bool trailing_wild_ = false;
    bool has_wild_ = false;
    bool ascii_ = false;  // no byte of the pattern lies outside ASCII
};

// Case-folds UTF-8 text code point by code point (simple folding, so lengths match per code
// point). Bytes that are not valid UTF-8 are copied as they are.
void fold_case_utf8(std::string_view text, std::string& out);

// Registers like(pattern, text) on the connection, replacing the engine's LIKE operator.
bool register_like_function(sqlite3* db);

}  // namespace tb
