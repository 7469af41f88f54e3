#pragma once

#include <optional>
#include <vector>

#include "model/model.h"
#include "search/query_history.h"
#include "search/search_query.h"

namespace tb {

// The current query and the search results list, which the Search Results folder shows, and the
// operations of the Find dialog, the quick-search bar and the Recent Queries menu.
class SearchEngine {
public:
    SearchEngine(Model& model, QueryHistory& history) : model_(model), history_(history) {}

    const SearchQuery& current_query() const { return current_; }
    // Links found by the last search, in ascending id order, copied from the link array.
    const std::vector<Link>& results() const { return results_; }
    // Whether the last run stopped at "Invalid query." (its result is then -1 or 0).
    bool last_query_invalid() const { return invalid_; }

    // Makes `query` the current query and runs it. current_folder is the selected tree item; the
    // folder scopes fall back to the root when it is no real folder. Returns -1 when the title
    // pass cannot be prepared ("Invalid query."), else the number of results. A successful
    // search from the root is stored in the history when `remember` is set.
    int run_search(const SearchQuery& query, RowId current_folder, bool remember);

    // The Find dialog's Find: its rewriting, then a remembered search.
    int find(const SearchQuery& entered, RowId current_folder);

    // The quick-search bar; nothing happens (no value) when the field is empty.
    std::optional<int> quick_search(const std::string& text);

    // Runs saved query `index` of the history list from the root; no value for a bad index.
    std::optional<int> rerun_saved(size_t index);

    // Re-runs the current query after an undo or a deletion changed the links, over the folder
    // scope of the last search (the Search Results folder is selected by then).
    int refresh();

private:
    struct Scope {
        int mode = kFromRoot;
        RowId folder = kRootFolder;
    };
    Scope effective_scope(int folder_scope, RowId current_folder) const;
    int run_scoped(const Scope& scope, bool remember);
    bool in_scope(const Scope& scope, RowId folder) const;
    // -1: not preparable; otherwise the number of ids added.
    int link_pass(const std::string& statement, std::vector<RowId>& ids);
    // false: not preparable.
    bool folder_pass(const std::string& statement, const Scope& scope, std::vector<RowId>& ids);

    Model& model_;
    QueryHistory& history_;
    SearchQuery current_;
    Scope scope_;
    std::vector<Link> results_;
    bool invalid_ = false;
};

}  // namespace tb
