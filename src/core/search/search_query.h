#pragma once

#include <string>

namespace tb {

// How the words of a search text combine.
enum MatchMode {
    kAllWords = 0,
    kAnyWord = 1,
    kAdvancedQuery = 2,  // the text already holds operators
};

// How far a search looks.
enum FolderScope {
    kFromRoot = 0,
    kFromCurrentFolder = 1,
    kCurrentFolderOnly = 2,
};

// One search. The four flag names are the column names of tb_queries.
struct SearchQuery {
    std::string text;
    bool in_titles = true;
    bool in_addresses = true;
    bool in_comments = true;
    bool in_parent_titles = false;
    int match_mode = kAllWords;
    int folder_scope = kFromRoot;

    bool operator==(const SearchQuery&) const = default;
};

// The Find dialog's test: the text contains "(", ")", " AND " or " OR " (case-sensitive).
bool is_advanced_text(const std::string& text);

// Every run of white space, leading and trailing ones included, becomes " AND " (all words) or
// " OR " (any word).
std::string join_plain_words(const std::string& text, int match_mode);

// What the Find dialog does on Find with the text and options as entered: advanced text is kept
// as typed (match mode 2), plain words are joined by their mode's operator.
SearchQuery prepare_find_query(SearchQuery entered);

// The quick-search bar's query: titles, addresses and comments from the root, words joined by
// " AND " without advanced detection, so operators typed there become search words.
SearchQuery make_quick_query(const std::string& text);

}  // namespace tb
