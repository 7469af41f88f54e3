#include "model/model.h"

namespace tb {

bool is_link_action(int action) {
    return action == kUndoMoveLink || action == kUndoDeleteLink || action == kUndoAddLink ||
           action == kUndoEditLink;
}

Model::Model(Database& database)
    : db(database),
      journal(database),
      folders(database, journal),
      links(database, journal),
      statistics(links, folders) {}

void Model::load() {
    folders.reload();
    folders.repair_ancestry();
}

namespace {

// The rows of the last grouped link action (a move, or a batch of address changes): the
// trailing run of rows of that action sharing its group id, up to the row of the link that led
// it. A group id repeats when the same link leads two batches, and only the last is undone.
std::vector<JournalRecord> last_link_group(Journal& journal, int action, RowId group_id) {
    std::vector<JournalRecord> run;
    for (const JournalRecord& row : journal.history()) {
        if (row.action != action || row.group_id != group_id) {
            break;
        }
        run.push_back(row);
        if (row.id == group_id) {
            break;
        }
    }
    return run;
}

}  // namespace

int Model::undo_last_action() {
    undone_links_.clear();
    undone_addresses_.clear();
    auto last = journal.load_last_action();
    if (!last) {
        return -1;
    }
    if (last->action == -1) {
        db.reporter().report_text(
            TB_TRANSLATE_NOOP("Strings", "undo_last_action(): last action undefined."));
        return -1;
    }
    const JournalRecord& r = *last;
    const bool ok = undo_record(r);
    if (!is_link_action(r.action)) {
        folders.reload();
    }
    return ok ? r.action : -1;
}

// Reverts one journal row and removes it, all in one transaction.
bool Model::undo_record(const JournalRecord& r) {
    Transaction transaction(db);
    if (!revert(r)) {
        return false;
    }
    return db.easy_query("DELETE FROM tb_undo WHERE actionID = ?", {r.action_id}) &&
           transaction.commit();
}

void Model::remember_address(RowId link) {
    if (const std::optional<Link> found = links.find(link)) {
        undone_addresses_.push_back(found->url);
    }
}

bool Model::revert(const JournalRecord& r) {
    switch (r.action) {
        case kUndoMoveFolder:
            return db.easy_query("UPDATE tb_folders SET parent = ? WHERE id = ?",
                                 {r.parent_from, r.id}) &&
                   folders.set_parent_row(r.id, r.parent_from);
        case kUndoMoveLink:
            // Every link goes back to its own former folder.
            for (const JournalRecord& row : last_link_group(journal, kUndoMoveLink, r.group_id)) {
                undone_links_.push_back(row.id);
                if (!db.easy_query("UPDATE tb_links SET parent = ? WHERE id = ?",
                                   {row.parent_from, row.id}) ||
                    !db.easy_query("DELETE FROM tb_undo WHERE actionID = ?", {row.action_id})) {
                    return false;
                }
            }
            return true;
        case kUndoDeleteFolder:
            return db.easy_query("DELETE FROM tb_undo WHERE action = ? AND group_id = ?",
                                 {kUndoDeleteFolder, r.group_id});
        case kUndoDeleteLink:
            undone_links_.push_back(r.id);
            return db.easy_query("DELETE FROM tb_undo WHERE action = ? AND id = ?",
                                 {kUndoDeleteLink, r.id});
        case kUndoAddFolder:
            return db.easy_query("DELETE FROM tb_folders WHERE id = ?", {r.id}) &&
                   folders.forget_row(r.id);
        case kUndoAddLink:
            undone_links_.push_back(r.id);
            remember_address(r.id);
            return db.easy_query("DELETE FROM tb_links WHERE id = ?", {r.id}) &&
                   db.easy_query("DELETE FROM tb_link_checks WHERE link = ?", {r.id});
        case kUndoEditFolder:
            return db.easy_query("UPDATE tb_folders SET title = ?, protected = ? WHERE id = ?",
                                 {r.name_from, r.protected_from, r.id});
        case kUndoEditLink:
            // A batch of address changes goes back whole; a single edit has no group.
            for (const JournalRecord& row :
                 r.group_id == -1 ? std::vector<JournalRecord>{r}
                                  : last_link_group(journal, kUndoEditLink, r.group_id)) {
                undone_links_.push_back(row.id);
                remember_address(row.id);
                if (!db.easy_query(
                        "UPDATE tb_links SET title = ?, url = ?, comment = ? WHERE id = ?",
                        {row.name_from, row.url_from, row.comment_from, row.id}) ||
                    !db.easy_query("DELETE FROM tb_undo WHERE actionID = ?", {row.action_id})) {
                    return false;
                }
            }
            return true;
        default:
            return true;
    }
}

}  // namespace tb
