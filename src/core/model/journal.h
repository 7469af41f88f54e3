#pragma once

#include <optional>
#include <string>
#include <vector>

#include "storage/database.h"
#include "storage/ids.h"
#include "storage/schema.h"

namespace tb {

// Undo action codes; their order is part of the file format.
enum UndoAction {
    kUndoMoveFolder = 0,
    kUndoMoveLink = 1,
    kUndoDeleteFolder = schema::kFolderDeletionCode,
    kUndoDeleteLink = schema::kLinkDeletionCode,
    kUndoAddFolder = 4,
    kUndoAddLink = 5,
    kUndoEditFolder = 6,
    kUndoEditLink = 7,
};

// One row of tb_undo; unwritten columns keep their defaults.
struct JournalRecord {
    RowId action_id = 0;
    int action = -1;
    RowId id = -1;
    RowId parent_from = -1;
    RowId parent_to = -1;
    std::string name_from, name_to, url_from, url_to, comment_from, comment_to;
    RowId group_id = -1;
    int protected_from = 0;
};

// The journal of user actions: undo, and deferred deletion (rows marked here are hidden from
// every reading query until the purge removes them).
class Journal {
public:
    explicit Journal(Database& db) : db_(db) {}

    bool enabled() const { return enabled_; }
    void set_enabled(bool on) { enabled_ = on; }

    // Writes one row when the journal is enabled; false when it is not, or the write failed.
    [[nodiscard]] bool journal(const JournalRecord& record);
    // Writes one row when the journal is enabled; false only when the write failed.
    [[nodiscard]] bool record(const JournalRecord& record);

    bool journal_not_empty();
    RowId last_action_id();
    // The row with the highest actionID, or nothing when the journal is empty.
    std::optional<JournalRecord> load_last_action();
    // Every row, newest first.
    std::vector<JournalRecord> history();

    // String id of the Undo menu label of an action ("Undefined Action" has none: 0).
    static int label_id(int action);
    static std::string label(int action);

    // Whether the purge has folders or links to delete.
    bool has_deletions();
    // Carries out the deferred deletions and empties the journal, in one transaction, after a
    // snapshot when it deletes folders or links. Nothing is purged when the snapshot fails.
    [[nodiscard]] bool purge();

    Database& db() { return db_; }

private:
    Database& db_;
    bool enabled_ = false;
};

// Turns the journal off for an import and restores the saved state on every exit.
class JournalPause {
public:
    explicit JournalPause(Journal& journal) : journal_(journal), saved_(journal.enabled()) {
        journal_.set_enabled(false);
    }
    ~JournalPause() { journal_.set_enabled(saved_); }
    JournalPause(const JournalPause&) = delete;
    JournalPause& operator=(const JournalPause&) = delete;

private:
    Journal& journal_;
    bool saved_;
};

}  // namespace tb
