#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/journal.h"
#include "storage/database.h"
#include "storage/ids.h"

namespace tb {

struct Folder {
    RowId id = 0;
    std::string title;
    std::string comment;
    RowId parent = 0;
    bool is_protected = false;
    int level = 0;
    // The folder it is shown under: its parent, or the root when its chain of parents never
    // reaches the root (a damaged table).
    RowId tree_parent = 0;
};

// tb_folders, the in-memory list of live folders, and the ancestry index that finds a whole
// subtree in one query. Parent walks are bounded by the number of folders, so a damaged table
// with a cycle or an unknown parent never loops.
class FolderStore {
public:
    FolderStore(Database& db, Journal& journal);

    // Reloads the live folders, computes levels and sorts by parent id.
    void reload();
    const std::vector<Folder>& list() const { return folders_; }
    const Folder* find(RowId id) const;
    int deepest_level() const { return deepest_level_; }
    // Live children of a folder, by title (byte order).
    std::vector<const Folder*> children(RowId id) const;

    // Returns the new id, or 0 (message 164 reported when the name is taken).
    RowId create_folder(const std::string& title, RowId parent, const std::string& comment = {});
    // check_name false skips the name test, for importers that keep their own names apart.
    RowId create_folder_with_id(const std::string& title, const std::string& comment, RowId id,
                                RowId parent, bool check_name = true);
    // The New Folder text: one title, or several separated by ";" (sorted, trimmed, empty
    // pieces dropped). Creates what it can under parent; 164 per refused title.
    std::vector<RowId> create_folders_from_text(RowId parent, const std::string& text);
    static std::vector<std::string> split_folder_titles(const std::string& text);

    bool folder_name_free(RowId parent, const std::string& title);
    std::string unique_root_title(const std::string& name);
    RowId max_folder_id();

    // Refuses an empty title with 177 and a taken one with 164.
    bool rename_folder(RowId id, const std::string& title, bool is_protected);
    // Refuses with 153, 154 or 164.
    bool move_folder(RowId folder, RowId target);
    // Journals the folder and its whole subtree as deleted, then reloads the list. Refuses the
    // root and unknown folders with 138.
    bool delete_folder(RowId id);

    bool is_descendant(RowId target, RowId folder) const;
    std::string folder_path(RowId folder) const;
    // The live folder whose folder_path is `path` ("/" is the root), or null. One "/" at the end
    // is ignored. Titles may hold "/" themselves, so every way of reading the path is tried.
    const Folder* find_by_path(std::string_view path) const;
    std::vector<RowId> subtree_folders(const std::vector<RowId>& ids);

    // Ancestry index (tb_parents).
    // The ids above `folder` in the tree as shown, joined by commas in the stored order.
    std::string ancestry_list(RowId folder) const;
    [[nodiscard]] bool add_ancestry(RowId folder);
    [[nodiscard]] bool update_ancestry(RowId folder);
    // Rewrites the rows of a folder and every folder below it.
    [[nodiscard]] bool update_subtree_ancestry(RowId folder);
    std::vector<RowId> descendants(RowId folder);
    // Rewrites rows that are missing or disagree with the folders as last reloaded and written
    // since; returns how many.
    int repair_ancestry();

    // The moved flag: the next tree fill selects the moved folder's former parent.
    bool moved_flag() const { return moved_flag_; }
    RowId moved_from() const { return moved_from_; }
    void clear_moved_flag() { moved_flag_ = false; }

    // Mirrors a change that the undo made to tb_folders.
    [[nodiscard]] bool forget_row(RowId id);
    [[nodiscard]] bool set_parent_row(RowId id, RowId parent);

private:
    RowId insert_folder(const Folder& folder);
    std::vector<RowId> rows_below(RowId folder) const;
    std::vector<RowId> chain_above(RowId folder) const;
    const Folder* find_below(RowId parent, std::string_view rest) const;
    void compute_levels();
    void append_folder(Folder folder);

    Database& db_;
    Journal& journal_;
    std::vector<Folder> folders_;
    std::unordered_map<RowId, size_t> index_;
    // Positions in folders_ by the folder each is shown under, so that a walk of the tree is
    // linear in the number of folders.
    std::unordered_map<RowId, std::vector<size_t>> children_of_;
    // Every row of tb_folders, deleted ones included: the source of ancestry chains.
    std::unordered_map<RowId, RowId> parent_of_;
    int deepest_level_ = 0;
    bool moved_flag_ = false;
    RowId moved_from_ = kNothingSelected;
};

// A JSON array of ids, bound to "IN (SELECT value FROM json_each(?))": 3, 5, 9 -> [3,5,9]
std::string id_array(const std::vector<RowId>& ids);

}  // namespace tb
