#pragma once

#include <functional>
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
    // The ids of the links found by the last search, ascending. Only the ids are kept: the links
    // are read when they are shown.
    const std::vector<RowId>& result_ids() const { return result_ids_; }
    // The links found by the last search as they are now, by id, without their duplicate flags;
    // one deleted since is left out.
    std::vector<Link> results() const;
    // Reads the links found by the last search and calls visit for each, in `order`; false when
    // the read failed.
    bool visit_results(const std::function<void(const Link&)>& visit,
                       LinkStore::Order order = LinkStore::Order::Id,
                       LinkStore::Flag flag = LinkStore::Flag::Read) const;
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

    // Stores the current query in the history when the last search, from the root, found links:
    // what run_search does when asked to remember, for a caller that reads the results first.
    void remember();

private:
    struct Scope {
        int mode = kFromRoot;
        RowId folder = kRootFolder;
    };
    Scope effective_scope(int folder_scope, RowId current_folder) const;
    int run_scoped(const Scope& scope, bool remember);
    bool in_scope(const Scope& scope, RowId folder) const;
    // The ids, ascending, of the live links among ids that lie in the scope.
    std::vector<RowId> live_in_scope(const Scope& scope, const std::vector<RowId>& ids) const;
    // Adds the ids of the links that the template matches in any of the columns; false when the
    // template is no statement or the read failed.
    bool link_passes(const std::string& words, const std::vector<std::string_view>& columns,
                     std::vector<RowId>& ids);
    bool prepares(const std::string& statement) const;
    // false: not preparable.
    bool folder_pass(const std::string& statement, const Scope& scope, std::vector<RowId>& ids);

    Model& model_;
    QueryHistory& history_;
    SearchQuery current_;
    Scope scope_;
    std::vector<RowId> result_ids_;
    bool invalid_ = false;
};

}  // namespace tb
