#include "search/query_history.h"

#include "platform/log.h"

namespace tb {

bool QueryHistory::query2history(const SearchQuery& query) {
    const std::string& text = query.text;
    const int titles = query.in_titles ? 1 : 0;
    const int addresses = query.in_addresses ? 1 : 0;
    const int comments = query.in_comments ? 1 : 0;
    const int parents = query.in_parent_titles ? 1 : 0;
    // A failed duplicate test (already reported) counts as "not stored yet".
    auto equal = db_.prepare(
        "SELECT COUNT(*) AS count FROM tb_queries WHERE text = ? AND in_titles = ? AND "
        "in_addresses = ? AND in_comments = ? AND in_parent_titles = ?",
        {text, titles, addresses, comments, parents});
    if (equal && equal->step() == Step::Row && equal->int64(0) > 0) {
        return true;
    }
    constexpr const char* kInsert =
        "INSERT INTO tb_queries (text, in_titles, in_addresses, in_comments, in_parent_titles) "
        "VALUES (?, ?, ?, ?, ?)";
    auto insert = db_.prepare(kInsert, {text, titles, addresses, comments, parents});
    if (insert && insert->step() == Step::Done) {
        return true;
    }
    log_append(std::string("*** query2history(): bad SQL query: [") + kInsert + "]");
    return false;
}

int QueryHistory::load_query_history() {
    list_.clear();
    auto row = db_.prepare("SELECT * FROM tb_queries ORDER BY id");
    while (row && row->step() == Step::Row) {
        SearchQuery& entry = list_.emplace_back();
        entry.text = row->text(1);
        entry.in_titles = row->int64(2) != 0;
        entry.in_addresses = row->int64(3) != 0;
        entry.in_comments = row->int64(4) != 0;
        entry.in_parent_titles = row->int64(5) != 0;
    }
    return static_cast<int>(list_.size());
}

bool QueryHistory::clear() {
    bool ok = db_.easy_query("DELETE FROM tb_queries");
    load_query_history();
    return ok;
}

}  // namespace tb
