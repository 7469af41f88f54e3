#pragma once

#include "model/folder_store.h"
#include "model/journal.h"
#include "model/link_store.h"
#include "model/visit_statistics.h"
#include "storage/database.h"

namespace tb {

// The process-wide data objects over one open database: journal, folders, links, statistics.
// Front ends hold only ids taken from here, and the links they show.
class Model {
public:
    explicit Model(Database& db);
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // Repairs the ancestry index and loads the folder list; links are read when asked for.
    void load();

    // Undoes the last action; returns its code, or -1 when nothing was done (an empty journal,
    // or a write that failed and was rolled back).
    int undo_last_action();
    // The links whose rows the last undo changed (none for a folder action).
    const std::vector<RowId>& undone_links() const { return undone_links_; }

    Database& db;
    Journal journal;
    FolderStore folders;
    LinkStore links;
    VisitStatistics statistics;

private:
    bool undo_record(const JournalRecord& record);
    bool revert(const JournalRecord& record);

    std::vector<RowId> undone_links_;
};

// Whether an undo action concerns links (the list is refilled) rather than folders (the tree).
bool is_link_action(int action);

}  // namespace tb
