#include "search/search_query.h"

#include "search/search_regex.h"

namespace tb {

bool is_advanced_text(const std::string& text) {
    return text.find('(') != std::string::npos || text.find(')') != std::string::npos ||
           text.find(" AND ") != std::string::npos || text.find(" OR ") != std::string::npos;
}

std::string join_plain_words(const std::string& text, int match_mode) {
    return replace_white_space(text, match_mode == kAnyWord ? " OR " : " AND ");
}

SearchQuery prepare_find_query(SearchQuery entered) {
    if (entered.match_mode == kAdvancedQuery || is_advanced_text(entered.text)) {
        entered.match_mode = kAdvancedQuery;
        return entered;
    }
    entered.text = join_plain_words(entered.text, entered.match_mode);
    return entered;
}

SearchQuery make_quick_query(const std::string& text) {
    SearchQuery query;
    query.text = replace_white_space(text, " AND ");
    return query;
}

}  // namespace tb
