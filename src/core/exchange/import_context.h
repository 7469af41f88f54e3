#pragma once

#include <sqlite3.h>

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "exchange/import_options.h"
#include "model/model.h"

namespace tb {

// What one import shares between its steps: the model, the options, the top folder, the next
// free ids, the folders made so far (so that a repeated sibling title merges into the first
// folder), the prepared link insert and the progress counters.
class ImportContext {
public:
    ImportContext(Model& model, const ImportOptions& options, const ImportProgress& progress);
    ImportContext(const ImportContext&) = delete;
    ImportContext& operator=(const ImportContext&) = delete;

    Model& model;
    const ImportOptions options;

    // Creates the top folder under the root, titled with a free variant of `title`; an
    // automatic id when asked, else the largest folder id plus one. Returns its id, or 0.
    RowId create_top_folder(const std::string& title, bool automatic_id);
    // Writes into an existing top folder instead of making one.
    void use_top_folder(RowId id, const std::string& title);
    RowId top_folder() const { return top_; }
    const std::string& top_title() const { return top_title_; }

    // The folder titled `title` under `parent` made earlier by this import, or a new one with
    // `id` (0: the largest folder id plus one). Returns its id, or 0 on a database error. Every
    // importer's titles and addresses pass through here and the link insert, which clean them
    // for a line: no line breaks, tabs or other control characters. A folder asked for below the
    // depth limit goes into parent_within_limit(parent) and is counted.
    RowId folder(RowId parent, const std::string& title, RowId id = 0);
    // The folder a new folder asked for under `parent` goes into: `parent` itself, or, when that
    // lies at kMaxFolderDepth or deeper, its ancestor one level above the limit.
    RowId parent_within_limit(RowId parent) const;

    // Writes one link row; false (logged and reported) on a database error.
    bool insert_link(const std::string& title, const std::string& url, const std::string& comment,
                     RowId id, RowId parent, int visits);
    RowId next_link_id();

    // Whether an earlier step of this import gave `parent` a link titled `title`; records it.
    bool take_link_title(RowId parent, const std::string& title);

    // Counts one item and reports progress; false once the user has cancelled.
    bool item_done();
    // Reports how far the reading and parsing of the source are; false once the user has
    // cancelled.
    bool reading_step(std::size_t done, std::size_t total);
    void set_total(std::size_t total) { total_ = total; }
    bool cancelled() const { return cancelled_; }

    int folders_written() const { return folders_written_; }
    int links_written() const { return links_written_; }
    // Links left out because they were imported before.
    void link_present() { ++links_present_; }
    int links_present() const { return links_present_; }
    // Folders placed at kMaxFolderDepth because their place in the source lay deeper.
    int folders_attached_at_limit() const { return folders_attached_at_limit_; }
    // One log line with that number, when there were any.
    void log_folders_attached_at_limit() const;

private:
    bool check_cancelled();

    Database& db_;
    const ImportProgress& progress_;
    RowId top_ = 0;
    std::string top_title_;
    RowId next_folder_id_ = 0;
    RowId next_link_id_ = 0;
    std::map<std::pair<RowId, std::string>, RowId> made_folders_;
    std::unordered_map<RowId, std::unordered_set<std::string>> link_titles_;
    std::optional<Statement> insert_link_;
    std::size_t done_ = 0;
    std::size_t total_ = 0;
    bool cancelled_ = false;
    int folders_written_ = 0;
    int links_written_ = 0;
    int links_present_ = 0;
    int folders_attached_at_limit_ = 0;
};

}  // namespace tb
