#include "search/query_history.h"

#include "platform/log.h"

namespace tb {

void QueryHistory::query2history(const SearchQuery& query) {
    const char* text = query.text.c_str();
    const int titles = query.in_titles ? 1 : 0;
    const int addresses = query.in_addresses ? 1 : 0;
    const int comments = query.in_comments ? 1 : 0;
    const int parents = query.in_parent_titles ? 1 : 0;
    // A failed duplicate test (already reported) counts as "not stored yet".
    auto equal = db_.prepare(sql_format(
        "SELECT COUNT(*) AS count FROM tb_queries WHERE text = '%q' AND in_titles = '%d' AND "
        "in_addresses = '%d' AND in_comments = '%d' AND in_parent_titles = '%d'",
        text, titles, addresses, comments, parents));
    if (equal && equal->step() && equal->int64(0) > 0) {
        return;
    }
    const std::string insert = sql_format(
        "INSERT INTO tb_queries (text, in_titles, in_addresses, in_comments, in_parent_titles) "
        "VALUES ('%q', '%d', '%d', '%d', '%d')",
        text, titles, addresses, comments, parents);
    auto statement = db_.prepare(insert);
    if (!statement) {
        return;
    }
    if (sqlite3_step(statement->get()) != SQLITE_DONE) {
        log_append("*** query2history(): bad SQL query: [" + insert + "]");
        db_.reporter().report_text(db_.error_text());
    }
}

int QueryHistory::load_query_history() {
    list_.clear();
    auto row = db_.prepare("SELECT * FROM tb_queries ORDER BY id");
    while (row && row->step()) {
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
