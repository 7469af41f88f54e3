#pragma once

#include <vector>

#include "search/search_query.h"
#include "storage/database.h"

namespace tb {

// The saved searches in tb_queries and their in-memory list, oldest first. Only the text and the
// four "Look in" flags are stored.
class QueryHistory {
public:
    explicit QueryHistory(Database& db) : db_(db) {}

    // Stores the query unless one with the same text (byte for byte) and flags is stored.
    bool query2history(const SearchQuery& query);

    // Reloads the list from the table; returns the number of entries.
    int load_query_history();
    const std::vector<SearchQuery>& list() const { return list_; }

    // Deletes every saved query and reloads the (then empty) list.
    bool clear();

private:
    Database& db_;
    std::vector<SearchQuery> list_;
};

}  // namespace tb
