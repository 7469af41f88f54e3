#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tb {

// The placeholder of the statement template, replaced by a column name for each pass.
inline constexpr std::string_view kColumnPlaceholder = "$COLNAME";

// The words of a search text after the parentheses were spaced, white space was collapsed and
// quotes were doubled; split at every single space, so an edge space yields an empty word.
std::vector<std::string> search_words(const std::string& text);

// "(", ")", "AND" and "OR", compared byte for byte.
bool is_search_keyword(const std::string& word);

// The statement template: "SELECT id FROM tb_links WHERE " followed by each word and a space,
// a plain word as "$COLNAME LIKE '%word%'".
std::string search_template(const std::string& text);

// The template with every placeholder replaced by a link column (title, url, comment).
std::string link_pass_statement(const std::string& search_template, std::string_view column);

// One statement for the link passes over these columns: each column's condition in
// parentheses, joined by OR, so that one scan of the links answers every pass.
std::string link_passes_statement(const std::string& search_template,
                                  const std::vector<std::string_view>& columns);

// The template over folder titles: "SELECT id FROM tb_folders WHERE ..." with the title column.
std::string folder_pass_statement(const std::string& search_template);

}  // namespace tb
