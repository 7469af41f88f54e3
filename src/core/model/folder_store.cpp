#include "model/folder_store.h"
#include "storage/schema.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "platform/messages.h"
#include "text/strings.h"

namespace tb {

namespace {

std::string join(const std::vector<RowId>& ids, const char* separator) {
    std::string out;
    for (RowId id : ids) {
        if (!out.empty()) {
            out += separator;
        }
        out += std::to_string(id);
    }
    return out;
}

}  // namespace

std::string id_array(const std::vector<RowId>& ids) {
    return "[" + join(ids, ",") + "]";
}

FolderStore::FolderStore(Database& db, Journal& journal) : db_(db), journal_(journal) {}

void FolderStore::reload() {
    parent_of_.clear();
    folders_.clear();
    // One read of the table: every row's parent for the ancestry chains, and the rows not
    // waiting for the purge as the folder list.
    auto row = db_.prepare("SELECT id IN " + schema::kPendingFolderIds +
                           ", id, title, comment, parent, protected FROM tb_folders");
    while (row && row->step() == Step::Row) {
        const RowId id = row->int64(1);
        const RowId parent = row->int64(4);
        parent_of_[id] = parent;
        if (row->integer(0) != 0) {
            continue;
        }
        Folder f;
        f.id = id;
        f.title = row->text(2);
        f.comment = row->text(3);
        f.parent = parent;
        f.is_protected = row->integer(5) != 0;
        folders_.push_back(std::move(f));
    }
    compute_levels();
}

// A folder is shown under its parent when the parent is listed and the folder is not on a
// cycle of parents; otherwise under the root. Each folder is resolved once, so the work is
// linear and ends on any table.
void FolderStore::compute_levels() {
    index_.clear();
    for (size_t i = 0; i < folders_.size(); ++i) {
        index_[folders_[i].id] = i;
    }
    std::vector<int> level(folders_.size(), -1);
    std::vector<char> on_path(folders_.size(), 0);
    auto hang_under_root = [&](size_t i) {
        folders_[i].tree_parent = kRootFolder;
        level[i] = 1;
    };
    for (size_t first = 0; first < folders_.size(); ++first) {
        std::vector<size_t> path;
        size_t at = first;
        while (level[at] < 0) {
            if (on_path[at]) {
                auto cycle = std::find(path.begin(), path.end(), at);
                std::for_each(cycle, path.end(), hang_under_root);
                path.erase(cycle, path.end());
                break;
            }
            on_path[at] = 1;
            Folder& f = folders_[at];
            if (f.id == kRootFolder) {
                f.tree_parent = kNoFolder;
                level[at] = 0;
                break;
            }
            auto parent = index_.find(f.parent);
            if (parent == index_.end()) {
                hang_under_root(at);
                break;
            }
            path.push_back(at);
            at = parent->second;
        }
        for (size_t k = path.size(); k-- > 0;) {
            Folder& f = folders_[path[k]];
            f.tree_parent = f.parent;
            level[path[k]] = level[index_[f.parent]] + 1;
        }
    }
    for (size_t i = 0; i < folders_.size(); ++i) {
        folders_[i].level = level[i];
        deepest_level_ = std::max(deepest_level_, level[i]);
    }
    std::stable_sort(folders_.begin(), folders_.end(),
                     [](const Folder& a, const Folder& b) { return a.parent < b.parent; });
    children_of_.clear();
    for (size_t i = 0; i < folders_.size(); ++i) {
        index_[folders_[i].id] = i;
        children_of_[folders_[i].tree_parent].push_back(i);
    }
}

const Folder* FolderStore::find(RowId id) const {
    auto it = index_.find(id);
    return it == index_.end() ? nullptr : &folders_[it->second];
}

std::vector<const Folder*> FolderStore::children(RowId id) const {
    std::vector<const Folder*> out;
    auto listed = children_of_.find(id);
    if (listed == children_of_.end()) {
        return out;
    }
    for (size_t at : listed->second) {
        const Folder& f = folders_[at];
        if (f.id != id) {
            out.push_back(&f);
        }
    }
    std::sort(out.begin(), out.end(),
              [](const Folder* a, const Folder* b) { return a->title < b->title; });
    return out;
}

// Keeps the list current after a creation without reloading it: imports create thousands.
void FolderStore::append_folder(Folder folder) {
    const Folder* parent = find(folder.parent);
    const bool placed = parent != nullptr;
    folder.level = placed ? parent->level + 1 : 1;
    folder.tree_parent = placed ? folder.parent : kRootFolder;
    deepest_level_ = std::max(deepest_level_, folder.level);
    index_[folder.id] = folders_.size();
    children_of_[folder.tree_parent].push_back(folders_.size());
    folders_.push_back(std::move(folder));
}

RowId FolderStore::insert_folder(const Folder& folder) {
    Transaction transaction(db_);
    const bool inserted =
        folder.id != 0
            ? db_.easy_query(
                  "INSERT INTO tb_folders (id, title, parent, comment) VALUES (?, ?, ?, ?)",
                  {folder.id, folder.title, folder.parent, folder.comment})
            : db_.easy_query("INSERT INTO tb_folders (title, parent, comment) VALUES (?, ?, ?)",
                             {folder.title, folder.parent, folder.comment});
    const RowId new_id = folder.id != 0 ? folder.id : db_.last_insert_rowid();
    if (inserted && new_id > kLargestId) {
        db_.reporter().report_text(kNoIdLeftText);
        return 0;
    }
    parent_of_[new_id] = folder.parent;
    if (!inserted || !journal_.record({.action = kUndoAddFolder, .id = new_id}) ||
        !add_ancestry(new_id) || !transaction.commit()) {
        parent_of_.erase(new_id);
        return 0;
    }
    Folder added = folder;
    added.id = new_id;
    append_folder(std::move(added));
    return new_id;
}

RowId FolderStore::create_folder(const std::string& title, RowId parent,
                                 const std::string& comment) {
    if (!folder_name_free(parent, title)) {
        db_.reporter().report(msg::kDuplicateFolderName);
        return 0;
    }
    return insert_folder({.id = 0, .title = title, .comment = comment, .parent = parent});
}

RowId FolderStore::create_folder_with_id(const std::string& title, const std::string& comment,
                                         RowId id, RowId parent, bool check_name) {
    if (check_name && !folder_name_free(parent, title)) {
        db_.reporter().report(msg::kDuplicateFolderName);
        return 0;
    }
    return insert_folder({.id = id, .title = title, .comment = comment, .parent = parent});
}

std::vector<std::string> FolderStore::split_folder_titles(const std::string& text) {
    std::vector<std::string> titles;
    if (text.find(';') == std::string::npos) {
        std::string title(trim(text, kLineBlanks));
        if (!title.empty()) {
            titles.push_back(title);
        }
        return titles;
    }
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (end > start) {
            pieces.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    // The pieces are sorted as typed, blanks included, and trimmed afterwards.
    std::sort(pieces.begin(), pieces.end());
    for (const std::string& piece : pieces) {
        std::string title(trim(piece, kLineBlanks));
        if (!title.empty()) {
            titles.push_back(title);
        }
    }
    return titles;
}

std::vector<RowId> FolderStore::create_folders_from_text(RowId parent, const std::string& text) {
    std::vector<RowId> created;
    for (const std::string& title : split_folder_titles(text)) {
        RowId id = create_folder(title, parent);
        if (id != 0) {
            created.push_back(id);
        }
    }
    return created;
}

bool FolderStore::folder_name_free(RowId parent, const std::string& title) {
    // Any live row blocks the name; rows awaiting the purge never do.
    return db_.query_int(
               "SELECT COUNT(*) FROM tb_folders WHERE parent = ? AND title = ? AND id NOT IN " +
                   schema::kPendingFolderIds,
               {parent, title}) == 0;
}

std::string FolderStore::unique_root_title(const std::string& name) {
    if (folder_name_free(kRootFolder, name)) {
        return name;
    }
    char buffer[32];
    std::string candidate;
    for (int n = 1; n <= 499; ++n) {
        std::snprintf(buffer, sizeof buffer, "-%02d", n);
        candidate = name + buffer;
        if (folder_name_free(kRootFolder, candidate)) {
            return candidate;
        }
    }
    return candidate;
}

RowId FolderStore::max_folder_id() {
    return db_.query_int("SELECT MAX(id) AS maxid FROM tb_folders");
}

bool FolderStore::rename_folder(RowId id, const std::string& title, bool is_protected) {
    const Folder* folder = find(id);
    if (folder == nullptr || id == kRootFolder) {
        return false;
    }
    if (trim(title, kLineBlanks).empty()) {
        db_.reporter().report(msg::kFolderTitleEmpty);
        return false;
    }
    if (title != folder->title && !folder_name_free(folder->parent, title)) {
        db_.reporter().report(msg::kDuplicateFolderName);
        return false;
    }
    Transaction transaction(db_);
    const bool ok = journal_.record({.action = kUndoEditFolder,
                                     .id = id,
                                     .name_from = folder->title,
                                     .protected_from = folder->is_protected ? 1 : 0}) &&
                    db_.easy_query("UPDATE tb_folders SET title = ?, protected = ? WHERE id = ?",
                                   {title, is_protected ? 1 : 0, id}) &&
                    transaction.commit();
    if (ok) {
        Folder& changed = folders_[index_.at(id)];
        changed.title = title;
        changed.is_protected = is_protected;
    }
    return ok;
}

bool FolderStore::move_folder(RowId folder, RowId target) {
    const Folder* moved = find(folder);
    if (moved == nullptr || folder == kRootFolder || find(target) == nullptr) {
        return false;
    }
    if (target == folder) {
        db_.reporter().report(msg::kMoveFolderToItself);
        return false;
    }
    if (is_descendant(target, folder)) {
        db_.reporter().report(msg::kMoveFolderToDescendant);
        return false;
    }
    if (!folder_name_free(target, moved->title)) {
        db_.reporter().report(msg::kDuplicateFolderName);
        return false;
    }
    const RowId former_parent = moved->parent;
    Transaction transaction(db_);
    parent_of_[folder] = target;
    const bool ok =
        journal_.record({.action = kUndoMoveFolder, .id = folder, .parent_from = former_parent}) &&
        update_subtree_ancestry(folder) &&
        db_.easy_query("UPDATE tb_folders SET parent = ? WHERE id = ?", {target, folder}) &&
        transaction.commit();
    if (ok) {
        moved_flag_ = true;
        moved_from_ = former_parent;
    }
    reload();
    return ok;
}

bool FolderStore::delete_folder(RowId id) {
    if (id == kRootFolder || find(id) == nullptr) {
        db_.reporter().report(msg::kFolderCannotBeDeleted);
        return false;
    }
    std::vector<RowId> below = descendants(id);
    Transaction transaction(db_);
    bool ok = journal_.journal({.action = kUndoDeleteFolder, .id = id, .group_id = id});
    for (size_t i = 0; ok && i < below.size(); ++i) {
        ok = journal_.journal({.action = kUndoDeleteFolder, .id = below[i], .group_id = id});
    }
    ok = ok && transaction.commit();
    reload();
    return ok;
}

bool FolderStore::is_descendant(RowId target, RowId folder) const {
    const Folder* start = find(target);
    const Folder* ancestor = find(folder);
    if (start == nullptr || ancestor == nullptr) {
        return false;
    }
    // The tree as shown has no cycles, so the walk ends and the level test is sound.
    RowId at = start->tree_parent;
    for (size_t steps = 0; steps <= folders_.size(); ++steps) {
        const Folder* found = at != 0 ? find(at) : nullptr;
        if (found == nullptr) {
            return false;
        }
        if (found->id == folder) {
            return true;
        }
        if (ancestor->level >= found->level) {
            return false;
        }
        at = found->tree_parent;
    }
    return false;
}

std::string FolderStore::folder_path(RowId folder) const {
    const Folder* f = find(folder);
    if (f == nullptr) {
        return {};
    }
    std::string path = f->title;
    RowId at = f->tree_parent;
    for (size_t steps = 0; steps <= folders_.size() && at != kNoFolder; ++steps) {
        const Folder* up = find(at);
        if (up == nullptr) {
            break;
        }
        path = (up->id == kRootFolder ? "/" : up->title + "/") + path;
        at = up->tree_parent;
    }
    return path;
}

const Folder* FolderStore::find_by_path(std::string_view path) const {
    if (path.size() > 2 && path.ends_with('/')) {
        path.remove_suffix(1);
    }
    if (path == "/") {
        return find(kRootFolder);
    }
    return path.starts_with('/') ? find_below(kRootFolder, path.substr(1)) : nullptr;
}

// The folder below `parent` whose titles from there down, joined by "/", spell `rest`.
const Folder* FolderStore::find_below(RowId parent, std::string_view rest) const {
    for (const Folder* child : children(parent)) {
        if (!rest.starts_with(child->title)) {
            continue;
        }
        const std::string_view after = rest.substr(child->title.size());
        if (after.empty()) {
            return child;
        }
        if (after.front() == '/') {
            if (const Folder* found = find_below(child->id, after.substr(1))) {
                return found;
            }
        }
    }
    return nullptr;
}

std::vector<RowId> FolderStore::subtree_folders(const std::vector<RowId>& ids) {
    std::vector<RowId> result;
    std::unordered_set<RowId> seen(ids.begin(), ids.end());
    std::vector<RowId> level = ids;
    while (!level.empty()) {
        std::vector<RowId> next;
        auto row = db_.prepare(
            "SELECT id FROM tb_folders WHERE parent IN (SELECT value FROM "
            "json_each(?))",
            {id_array(level)});
        while (row && row->step() == Step::Row) {
            RowId id = row->int64(0);
            if (seen.insert(id).second) {
                result.push_back(id);
                next.push_back(id);
            }
        }
        level = std::move(next);
    }
    return result;
}

// The folders above `folder` as the tree shows them, nearest first, up to the root. A missing
// parent, or a cycle of parents, is cut where the tree hangs it under the root, so that no folder
// counts as below one that is shown outside its subtree.
std::vector<RowId> FolderStore::chain_above(RowId folder) const {
    std::vector<RowId> walked{folder};
    std::unordered_set<RowId> seen{folder};
    while (walked.back() != kRootFolder) {
        auto it = parent_of_.find(walked.back());
        const RowId parent = it != parent_of_.end() ? it->second : kNoFolder;
        if (!seen.insert(parent).second) {
            auto repeated = std::find(walked.begin(), walked.end(), parent);
            // Each folder on the cycle hangs under the root; the first one reached ends the walk.
            walked.erase(repeated + 1, walked.end());
            walked.push_back(kRootFolder);
        } else if (parent == kNoFolder || !parent_of_.contains(parent)) {
            walked.push_back(kRootFolder);
        } else {
            walked.push_back(parent);
        }
    }
    walked.erase(walked.begin());
    return walked;
}

// The stored order: the grandparent and up, then 0, then the parent ("5,1,0,7" below 7).
std::string FolderStore::ancestry_list(RowId folder) const {
    std::vector<RowId> above = chain_above(folder);
    std::vector<RowId> list(above.size() > 1 ? above.begin() + 1 : above.end(), above.end());
    list.push_back(kNoFolder);
    if (!above.empty()) {
        list.push_back(above.front());
    }
    return join(list, ",");
}

bool FolderStore::add_ancestry(RowId folder) {
    // An id freed by an undo can come back; its new row must not inherit the old ancestors.
    return db_.easy_query("DELETE FROM tb_parents WHERE folderID = ?", {folder}) &&
           db_.easy_query("INSERT INTO tb_parents (folderID, parents) VALUES (?, ?)",
                          {folder, ancestry_list(folder)});
}

bool FolderStore::update_ancestry(RowId folder) {
    if (!db_.easy_query("UPDATE tb_parents SET parents = ? WHERE folderID = ?",
                        {ancestry_list(folder), folder})) {
        return false;
    }
    return db_.changes() != 0 || add_ancestry(folder);
}

std::vector<RowId> FolderStore::rows_below(RowId folder) const {
    std::unordered_map<RowId, std::vector<RowId>> children;
    for (const auto& [id, parent] : parent_of_) {
        children[parent].push_back(id);
    }
    std::vector<RowId> below;
    std::unordered_set<RowId> seen{folder};
    std::vector<RowId> stack{folder};
    while (!stack.empty()) {
        RowId at = stack.back();
        stack.pop_back();
        for (RowId child : children[at]) {
            if (seen.insert(child).second) {
                below.push_back(child);
                stack.push_back(child);
            }
        }
    }
    return below;
}

bool FolderStore::update_subtree_ancestry(RowId folder) {
    if (!parent_of_.contains(folder)) {
        return true;
    }
    Transaction transaction(db_);
    bool ok = update_ancestry(folder);
    for (RowId id : rows_below(folder)) {
        ok = ok && update_ancestry(id);
    }
    return ok && transaction.commit();
}

std::vector<RowId> FolderStore::descendants(RowId folder) {
    std::vector<RowId> ids;
    const std::string id = std::to_string(folder);
    auto row = db_.prepare(
        "SELECT folderID FROM tb_parents WHERE parents LIKE ? OR parents LIKE ? OR parents LIKE ?",
        {"%," + id + ",%", id + ",%", "%," + id});
    while (row && row->step() == Step::Row) {
        ids.push_back(row->int64(0));
    }
    return ids;
}

// Reads first and writes only what differs, so that a load of a sound file takes no write lock.
int FolderStore::repair_ancestry() {
    std::unordered_map<RowId, std::string> rows;
    auto row = db_.prepare("SELECT folderID, parents FROM tb_parents");
    while (row && row->step() == Step::Row) {
        rows[row->int64(0)] = row->text(1);
    }
    std::vector<RowId> stale;
    for (const auto& [id, parent] : parent_of_) {
        auto it = rows.find(id);
        if (id != kRootFolder && (it == rows.end() || it->second != ancestry_list(id))) {
            stale.push_back(id);
        }
    }
    std::vector<RowId> orphans;
    for (const auto& [id, parents] : rows) {
        if (!parent_of_.contains(id)) {
            orphans.push_back(id);
        }
    }
    if (stale.empty() && orphans.empty()) {
        return 0;
    }
    Transaction transaction(db_);
    bool ok = true;
    for (RowId id : stale) {
        ok = ok && add_ancestry(id);
    }
    for (RowId id : orphans) {
        ok = ok && db_.easy_query("DELETE FROM tb_parents WHERE folderID = ?", {id});
    }
    return ok && transaction.commit() ? static_cast<int>(stale.size() + orphans.size()) : -1;
}

bool FolderStore::forget_row(RowId id) {
    parent_of_.erase(id);
    return db_.easy_query("DELETE FROM tb_parents WHERE folderID = ?", {id});
}

bool FolderStore::set_parent_row(RowId id, RowId parent) {
    parent_of_[id] = parent;
    return update_subtree_ancestry(id);
}

}  // namespace tb
