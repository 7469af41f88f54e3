#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/journal.h"
#include "storage/database.h"
#include "storage/ids.h"

namespace tb {

struct Folder {
    int id = 0;
    std::string title;
    std::string comment;
    int parent = 0;
    bool is_protected = false;
    int level = 0;
    // The folder it is shown under: its parent, or the root when its chain of parents never
    // reaches the root (a damaged table).
    int tree_parent = 0;
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
    const Folder* find(int id) const;
    int deepest_level() const { return deepest_level_; }
    // Live children of a folder, by title (byte order).
    std::vector<const Folder*> children(int id) const;

    // Returns the new id, or 0 (message 164 reported when the name is taken).
    int create_folder(const std::string& title, int parent, const std::string& comment = {});
    // check_name false skips the name test, for importers that keep their own names apart.
    int create_folder_with_id(const std::string& title, const std::string& comment, int id,
                              int parent, bool check_name = true);
    // The New Folder text: one title, or several separated by ";" (sorted, trimmed, empty
    // pieces dropped). Creates what it can under parent; 164 per refused title.
    std::vector<int> create_folders_from_text(int parent, const std::string& text);
    static std::vector<std::string> split_folder_titles(const std::string& text);

    bool folder_name_free(int parent, const std::string& title);
    std::string unique_root_title(const std::string& name);
    int max_folder_id();

    // Refuses an empty title with 177 and a taken one with 164.
    bool rename_folder(int id, const std::string& title, bool is_protected);
    // Refuses with 153, 154 or 164.
    bool move_folder(int folder, int target);
    // Journals the folder and its whole subtree as deleted, then reloads the list. Refuses the
    // root and unknown folders with 138.
    bool delete_folder(int id);

    bool is_descendant(int target, int folder) const;
    std::string folder_path(int folder) const;
    // The live folder whose folder_path is `path` ("/" is the root), or null. One "/" at the end
    // is ignored. Titles may hold "/" themselves, so every way of reading the path is tried.
    const Folder* find_by_path(std::string_view path) const;
    std::vector<int> subtree_folders(const std::vector<int>& ids);

    // Ancestry index (tb_parents).
    // The ids above `folder` in the tree as shown, joined by commas in the stored order.
    std::string ancestry_list(int folder) const;
    [[nodiscard]] bool add_ancestry(int folder);
    [[nodiscard]] bool update_ancestry(int folder);
    // Rewrites the rows of a folder and every folder below it.
    [[nodiscard]] bool update_subtree_ancestry(int folder);
    std::vector<int> descendants(int folder);
    // Rewrites rows that are missing or disagree with tb_folders; returns how many.
    int repair_ancestry();

    // The moved flag: the next tree fill selects the moved folder's former parent.
    bool moved_flag() const { return moved_flag_; }
    int moved_from() const { return moved_from_; }
    void clear_moved_flag() { moved_flag_ = false; }

    // Mirrors a change that the undo made to tb_folders.
    [[nodiscard]] bool forget_row(int id);
    [[nodiscard]] bool set_parent_row(int id, int parent);

private:
    void load_parent_map();
    int insert_folder(const Folder& folder);
    std::vector<int> rows_below(int folder) const;
    std::vector<int> chain_above(int folder) const;
    const Folder* find_below(int parent, std::string_view rest) const;
    void compute_levels();
    void append_folder(Folder folder);

    Database& db_;
    Journal& journal_;
    std::vector<Folder> folders_;
    std::unordered_map<int, size_t> index_;
    // Positions in folders_ by the folder each is shown under, so that a walk of the tree is
    // linear in the number of folders.
    std::unordered_map<int, std::vector<size_t>> children_of_;
    // Every row of tb_folders, deleted ones included: the source of ancestry chains.
    std::unordered_map<int, int> parent_of_;
    int deepest_level_ = 0;
    bool moved_flag_ = false;
    int moved_from_ = kNothingSelected;
};

// A JSON array of ids, bound to "IN (SELECT value FROM json_each(?))": 3, 5, 9 -> [3,5,9]
std::string id_array(const std::vector<int>& ids);
std::string id_array(std::span<const RowId> ids);

}  // namespace tb
