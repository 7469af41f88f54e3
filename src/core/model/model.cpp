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
      statistics(links, folders) {
    folders.set_links_hidden_hook([this] { links.update_links_array(); });
}

void Model::load() {
    folders.repair_ancestry();
    folders.reload();
    links.update_links_array();
}

namespace {

// The rows of the last grouped link action (a move, or a batch of address changes): the
// trailing run of rows of that action sharing its group id, up to the row of the link that led
// it. A group id repeats when the same link leads two batches, and only the last is undone.
std::vector<JournalRecord> last_link_group(Journal& journal, int action, int group_id) {
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
    db.set_bulk_mode(true);
    switch (r.action) {
        case kUndoMoveFolder:
            db.easy_query(sql_format("UPDATE tb_folders SET parent = '%d' WHERE id = '%d'",
                                     r.parent_from, r.id));
            folders.set_parent_row(r.id, r.parent_from);
            break;
        case kUndoMoveLink:
            // Every link goes back to its own former folder.
            for (const JournalRecord& row : last_link_group(journal, kUndoMoveLink, r.group_id)) {
                db.easy_query(sql_format("UPDATE tb_links SET parent = '%d' WHERE id = '%d'",
                                         row.parent_from, row.id));
                db.easy_query(
                    sql_format("DELETE FROM tb_undo WHERE actionID = '%d'", row.action_id));
            }
            break;
        case kUndoDeleteFolder:
            db.easy_query(sql_format("DELETE FROM tb_undo WHERE action = '%d' AND group_id = '%d'",
                                     kUndoDeleteFolder, r.group_id));
            break;
        case kUndoDeleteLink:
            db.easy_query(sql_format("DELETE FROM tb_undo WHERE action = '%d' AND id = '%d'",
                                     kUndoDeleteLink, r.id));
            break;
        case kUndoAddFolder:
            db.easy_query(sql_format("DELETE FROM tb_folders WHERE id = '%d'", r.id));
            folders.forget_row(r.id);
            break;
        case kUndoAddLink:
            db.easy_query(sql_format("DELETE FROM tb_links WHERE id = '%d'", r.id));
            db.easy_query(sql_format("DELETE FROM tb_link_checks WHERE link = '%d'", r.id));
            break;
        case kUndoEditFolder:
            db.easy_query(
                sql_format("UPDATE tb_folders SET title = '%q', protected = '%d' WHERE id = '%d'",
                           r.name_from.c_str(), r.protected_from, r.id));
            break;
        case kUndoEditLink:
            // A batch of address changes goes back whole; a single edit has no group.
            for (const JournalRecord& row :
                 r.group_id == -1 ? std::vector<JournalRecord>{r}
                                  : last_link_group(journal, kUndoEditLink, r.group_id)) {
                db.easy_query(sql_format(
                    "UPDATE tb_links SET title = '%q', url = '%q', comment = '%q' WHERE id = '%d'",
                    row.name_from.c_str(), row.url_from.c_str(), row.comment_from.c_str(), row.id));
                db.easy_query(
                    sql_format("DELETE FROM tb_undo WHERE actionID = '%d'", row.action_id));
            }
            break;
        default:
            break;
    }
    db.easy_query(sql_format("DELETE FROM tb_undo WHERE actionID = '%d'", r.action_id));
    db.set_bulk_mode(false);
    if (!is_link_action(r.action)) {
        folders.reload();
    }
    if (is_link_action(r.action) || r.action == kUndoDeleteFolder) {
        links.update_links_array();
    }
    return r.action;
}

}  // namespace tb
