#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/model.h"
#include "platform/log.h"
#include "support/test_support.h"

namespace tb::test {

// A fresh database with the journal on, loaded like the program does at start.
class ModelTest : public ::testing::Test {
protected:
    ModelTest() {
        log_set_file(dir / "tagberry.log", &reporter);
        EXPECT_EQ(db.open_database(dir.path()), OpenStatus::Ok);
        model.journal.set_enabled(true);
        model.load();
    }
    ~ModelTest() override { log_reset(); }

    RowId folder(const std::string& title, RowId parent = kRootFolder) {
        int id = model.folders.create_folder(title, parent);
        EXPECT_NE(id, 0) << title;
        return id;
    }
    RowId link(RowId parent, const std::string& title, const std::string& url = {}) {
        int id = model.links.add_link_to(parent, title, url.empty() ? "http://" + title : url, "");
        EXPECT_NE(id, 0) << title;
        return id;
    }
    std::int64_t count(const std::string& sql) { return db.query_int(sql); }
    // Whether the journal marks the folder, or the link or its folder, for the purge.
    bool folder_marked(int id) {
        return db.query_int("SELECT COUNT(*) FROM tb_undo WHERE action = ? AND id = ?",
                            {kUndoDeleteFolder, id}) > 0;
    }
    bool link_marked(int id, int folder) {
        return folder_marked(folder) ||
               db.query_int("SELECT COUNT(*) FROM tb_undo WHERE action = ? AND id = ?",
                            {kUndoDeleteLink, id}) > 0;
    }
    int parent_of_link(int id) {
        return static_cast<int>(
            db.query_int(sql_format("SELECT parent FROM tb_links WHERE id = %d", id)));
    }
    std::string ancestry(int id) {
        auto row = db.prepare(sql_format("SELECT parents FROM tb_parents WHERE folderID = %d", id));
        return row && row->step() == Step::Row ? row->text(0) : "<none>";
    }
    // Journal rows, oldest first.
    std::vector<JournalRecord> journal_rows() {
        auto rows = model.journal.history();
        return {rows.rbegin(), rows.rend()};
    }
    // The ids of folders or links, ascending.
    template <typename Rows>
    static std::vector<RowId> sorted_ids(const Rows& rows) {
        std::vector<RowId> ids;
        for (const auto& row : rows) {
            ids.push_back(row.id);
        }
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    std::vector<RowId> live_folder_ids() { return sorted_ids(model.folders.list()); }
    std::vector<RowId> live_link_ids() { return sorted_ids(model.links.links()); }
    void set_visits(int id, int visits, std::int64_t last_visit = 0) {
        EXPECT_TRUE(db.easy_query(
            sql_format("UPDATE tb_links SET visits = %d, last_visit = %lld WHERE id = %d", visits,
                       static_cast<long long>(last_visit), id)));
    }

    TempDir dir;
    RecordingReporter reporter;
    Database db{reporter};
    Model model{db};
};

}  // namespace tb::test
