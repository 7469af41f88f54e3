#include "search/search_engine.h"

#include <algorithm>

#include "platform/messages.h"
#include "search/search_compiler.h"

namespace tb {

SearchEngine::Scope SearchEngine::effective_scope(int folder_scope, RowId current_folder) const {
    if (folder_scope == kFromRoot || current_folder <= 0 ||
        model_.folders.find(current_folder) == nullptr) {
        return {};
    }
    return {folder_scope, current_folder};
}

bool SearchEngine::in_scope(const Scope& scope, RowId folder) const {
    switch (scope.mode) {
        case kFromCurrentFolder:
            return folder == scope.folder || model_.folders.is_descendant(folder, scope.folder);
        case kCurrentFolderOnly:
            return folder == scope.folder;
        default:
            return true;
    }
}

std::vector<RowId> SearchEngine::live_in_scope(const Scope& scope,
                                               const std::vector<RowId>& ids) const {
    std::vector<RowId> kept;
    for (const auto& [id, folder] : model_.links.live_folders_of(ids)) {
        if (in_scope(scope, folder)) {
            kept.push_back(id);
        }
    }
    return kept;
}

bool SearchEngine::prepares(const std::string& statement) const {
    sqlite3_stmt* raw = nullptr;
    const bool prepared =
        sqlite3_prepare_v2(model_.db.handle(), statement.c_str(), -1, &raw, nullptr) == SQLITE_OK;
    sqlite3_finalize(raw);
    return prepared;
}

bool SearchEngine::link_passes(const std::string& words,
                               const std::vector<std::string_view>& columns,
                               std::vector<RowId>& ids) {
    // One column's statement is prepared first: the parentheses of the joined conditions could
    // balance a text that leaves its own unbalanced, as "a ) OR ( b" does.
    if (!prepares(link_pass_statement(words, columns.front()))) {
        return false;
    }
    const std::string statement = link_passes_statement(words, columns);
    // Prepared without the engine's own message: a failure is "Invalid query.".
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(model_.db.handle(), statement.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return false;
    }
    SilentReporter silent;
    Statement row(model_.db.handle(), raw, silent);
    // Liveness and the folder scope are checked once, on the rows of all passes together.
    while (row.step() == Step::Row) {
        ids.push_back(row.int64(0));
    }
    return !row.failed();
}

bool SearchEngine::folder_pass(const std::string& statement, const Scope& scope,
                               std::vector<RowId>& ids) {
    auto row = model_.db.prepare(statement);
    if (!row) {
        return false;
    }
    std::vector<RowId> matched;
    while (row->step() == Step::Row) {
        // The folder list holds exactly the live folders.
        const RowId id = row->int64(0);
        if (model_.folders.find(id) == nullptr) {
            continue;
        }
        if (scope.mode == kFromCurrentFolder && !model_.folders.is_descendant(id, scope.folder)) {
            continue;
        }
        matched.push_back(id);
    }
    if (matched.empty()) {
        return true;
    }
    std::vector<RowId> folders = model_.folders.subtree_folders(matched);
    folders.insert(folders.end(), matched.begin(), matched.end());
    auto links = model_.db.prepare(
        "SELECT id FROM tb_links WHERE parent IN (SELECT value FROM json_each(?))",
        {id_array(folders)});
    while (links && links->step() == Step::Row) {
        ids.push_back(links->int64(0));
    }
    return links && !links->failed() && !row->failed();
}

int SearchEngine::run_search(const SearchQuery& query, RowId current_folder, bool remember) {
    current_ = query;
    scope_ = effective_scope(query.folder_scope, current_folder);
    return run_scoped(scope_, remember);
}

int SearchEngine::run_scoped(const Scope& scope, bool remember) {
    const SearchQuery& query = current_;
    result_ids_.clear();
    invalid_ = false;
    const std::string words = search_template(query.text);
    std::vector<std::string_view> columns;
    if (query.in_titles) {
        columns.push_back("title");
    }
    if (query.in_addresses) {
        columns.push_back("url");
    }
    if (query.in_comments) {
        columns.push_back("comment");
    }
    std::vector<RowId> ids;
    if (!columns.empty() && !link_passes(words, columns, ids)) {
        model_.db.reporter().report(msg::kInvalidQuery);
        invalid_ = true;
        // A failure over titles gives -1, one over addresses or comments alone 0.
        return query.in_titles ? -1 : 0;
    }
    if (query.in_parent_titles && scope.mode != kCurrentFolderOnly &&
        !folder_pass(folder_pass_statement(words), scope, ids)) {
        return 0;
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    // Without a deletion waiting for the purge every row is live, and a search from the root
    // keeps every row it found.
    if (scope.mode != kFromRoot || model_.journal.has_deletions()) {
        ids = live_in_scope(scope, ids);
    }
    result_ids_ = std::move(ids);
    if (remember) {
        this->remember();
    }
    return static_cast<int>(result_ids_.size());
}

void SearchEngine::remember() {
    if (!result_ids_.empty() && scope_.mode == kFromRoot) {
        history_.query2history(current_);
    }
}

std::vector<Link> SearchEngine::results() const {
    std::vector<Link> links;
    (void)visit_results([&links](const Link& link) { links.push_back(link); }, LinkStore::Order::Id,
                        LinkStore::Flag::Skip);
    return links;
}

bool SearchEngine::visit_results(const std::function<void(const Link&)>& visit,
                                 LinkStore::Order order, LinkStore::Flag flag) const {
    if (result_ids_.empty()) {
        return true;
    }
    return model_.links.visit_links("l.id IN (SELECT value FROM json_each(?))",
                                    {id_array(result_ids_)}, visit, order, flag);
}

int SearchEngine::find(const SearchQuery& entered, RowId current_folder) {
    return run_search(prepare_find_query(entered), current_folder, true);
}

std::optional<int> SearchEngine::quick_search(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    return run_search(make_quick_query(text), kRootFolder, false);
}

std::optional<int> SearchEngine::rerun_saved(size_t index) {
    if (index >= history_.list().size()) {
        return std::nullopt;
    }
    SearchQuery saved = history_.list()[index];
    saved.folder_scope = kFromRoot;
    return run_search(saved, kRootFolder, false);
}

int SearchEngine::refresh() {
    return run_scoped(scope_, false);
}

}  // namespace tb
