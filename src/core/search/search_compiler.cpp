#include "search/search_compiler.h"

#include "search/search_regex.h"
#include "text/sql_quoting.h"

namespace tb {

namespace {

constexpr std::string_view kLinksPrefix = "SELECT id FROM tb_links WHERE ";
constexpr std::string_view kFoldersPrefix = "SELECT id FROM tb_folders WHERE ";

// Replaces `from` where it stands outside the SQL string literals, so that a search word that
// spells it stays a word. A doubled quote inside a literal toggles twice and changes nothing.
std::string replace_outside_literals(const std::string& text, std::string_view from,
                                     std::string_view to) {
    std::string out;
    out.reserve(text.size());
    bool in_literal = false;
    for (size_t at = 0; at < text.size();) {
        if (!in_literal && std::string_view(text).substr(at).starts_with(from)) {
            out += to;
            at += from.size();
            continue;
        }
        in_literal ^= text[at] == '\'';
        out += text[at++];
    }
    return out;
}

}  // namespace

std::vector<std::string> search_words(const std::string& text) {
    std::string spaced = replace_white_space(space_parentheses(text), " ");
    sql_quote(spaced);
    std::vector<std::string> words;
    size_t start = 0;
    for (size_t at = spaced.find(' '); at != std::string::npos; at = spaced.find(' ', start)) {
        words.push_back(spaced.substr(start, at - start));
        start = at + 1;
    }
    words.push_back(spaced.substr(start));
    return words;
}

bool is_search_keyword(const std::string& word) {
    return word == "(" || word == ")" || word == "AND" || word == "OR";
}

std::string search_template(const std::string& text) {
    std::string statement(kLinksPrefix);
    for (const std::string& word : search_words(text)) {
        if (is_search_keyword(word)) {
            statement += word;
        } else {
            statement += std::string(kColumnPlaceholder) + " LIKE '%" + word + "%'";
        }
        statement += ' ';
    }
    return statement;
}

std::string link_pass_statement(const std::string& search_template, std::string_view column) {
    return replace_outside_literals(search_template, kColumnPlaceholder, column);
}

std::string link_passes_statement(const std::string& search_template,
                                  const std::vector<std::string_view>& columns) {
    std::string statement(kLinksPrefix);
    for (std::string_view column : columns) {
        if (statement.size() > kLinksPrefix.size()) {
            statement += " OR ";
        }
        statement += '(';
        statement += link_pass_statement(search_template, column).substr(kLinksPrefix.size());
        statement += ')';
    }
    return statement;
}

std::string folder_pass_statement(const std::string& search_template) {
    // Only the table of the leading clause changes; a search word "tb_links" stays a word.
    std::string statement = link_pass_statement(search_template, "title");
    return std::string(kFoldersPrefix) + statement.substr(kLinksPrefix.size());
}

}  // namespace tb
