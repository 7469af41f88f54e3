#include "model/journal.h"

#include "platform/messages.h"
#include "storage/backup.h"

namespace tb {

bool Journal::journal(const JournalRecord& r) {
    if (!enabled_) {
        return false;
    }
    switch (r.action) {
        case kUndoDeleteFolder:
            return db_.easy_query("INSERT INTO tb_undo (action, id, group_id) VALUES (?, ?, ?)",
                                  {r.action, r.id, r.group_id});
        case kUndoDeleteLink:
        case kUndoAddFolder:
        case kUndoAddLink:
            return db_.easy_query("INSERT INTO tb_undo (action, id) VALUES (?, ?)",
                                  {r.action, r.id});
        case kUndoEditFolder:
            return db_.easy_query(
                "INSERT INTO tb_undo (action, id, name_from, protected_from) VALUES (?, ?, ?, ?)",
                {r.action, r.id, r.name_from, r.protected_from});
        case kUndoEditLink:
            return db_.easy_query(
                "INSERT INTO tb_undo (action, id, name_from, name_to, url_from, url_to, "
                "comment_from, comment_to, group_id) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                {r.action, r.id, r.name_from, r.name_to, r.url_from, r.url_to, r.comment_from,
                 r.comment_to, r.group_id});
        case kUndoMoveFolder:
        case kUndoMoveLink:
            return db_.easy_query(
                "INSERT INTO tb_undo (action, id, parent_from, group_id) VALUES (?, ?, ?, ?)",
                {r.action, r.id, r.parent_from, r.group_id});
        default:
            return false;
    }
}

bool Journal::record(const JournalRecord& r) {
    return !enabled_ || journal(r);
}

bool Journal::journal_not_empty() {
    return db_.query_int("SELECT COUNT(*) FROM tb_undo") > 0;
}

RowId Journal::last_action_id() {
    return db_.query_int("SELECT MAX(actionID) AS maxid FROM tb_undo");
}

namespace {

JournalRecord read_record(const Statement& row) {
    JournalRecord r;
    r.action_id = row.int64(0);
    r.action = row.integer(1);
    r.id = row.int64(2);
    r.parent_from = row.int64(3);
    r.parent_to = row.int64(4);
    r.name_from = row.text(5);
    r.name_to = row.text(6);
    r.url_from = row.text(7);
    r.url_to = row.text(8);
    r.comment_from = row.text(9);
    r.comment_to = row.text(10);
    r.group_id = row.int64(11);
    r.protected_from = row.integer(12);
    return r;
}

}  // namespace

std::optional<JournalRecord> Journal::load_last_action() {
    RowId last = last_action_id();
    if (last == 0) {
        return std::nullopt;
    }
    auto row = db_.prepare("SELECT * FROM tb_undo WHERE actionID = ?", {last});
    if (!row || row->step() != Step::Row) {
        return std::nullopt;
    }
    return read_record(*row);
}

std::vector<JournalRecord> Journal::history() {
    std::vector<JournalRecord> rows;
    auto row = db_.prepare("SELECT * FROM tb_undo ORDER BY actionID DESC");
    while (row && row->step() == Step::Row) {
        rows.push_back(read_record(*row));
    }
    return rows;
}

int Journal::label_id(int action) {
    return action >= kUndoMoveFolder && action <= kUndoEditLink ? msg::kUndoMoveFolder + action : 0;
}

std::string Journal::label(int action) {
    int id = label_id(action);
    return id != 0 ? english_string(id) : "Undefined Action";
}

bool Journal::has_deletions() {
    return db_.has_rows("SELECT 1 FROM tb_undo WHERE action IN (?, ?) LIMIT 1",
                        {kUndoDeleteFolder, kUndoDeleteLink});
}

bool Journal::purge() {
    using schema::kPendingFolderIds;
    using schema::kPendingLinkIds;
    static const std::string kPurge[] = {
        "DELETE FROM tb_link_checks WHERE link IN (SELECT id FROM tb_links WHERE parent IN " +
            kPendingFolderIds + ")",
        "DELETE FROM tb_link_checks WHERE link IN " + kPendingLinkIds,
        "DELETE FROM tb_folders WHERE id IN " + kPendingFolderIds,
        "DELETE FROM tb_links WHERE parent IN " + kPendingFolderIds,
        "DELETE FROM tb_links WHERE id IN " + kPendingLinkIds,
        "DELETE FROM tb_parents WHERE folderID IN " + kPendingFolderIds,
        "DELETE FROM tb_undo",
    };
    if (has_deletions() && !Backups(db_).create()) {
        return false;
    }
    // All or nothing: a failure half-way must not leave links whose folders are gone.
    Transaction transaction(db_);
    for (const std::string& sql : kPurge) {
        if (!db_.easy_query(sql)) {
            return false;
        }
    }
    return transaction.commit();
}

}  // namespace tb
