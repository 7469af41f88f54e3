#pragma once

#include <gtest/gtest.h>

#include <string>

#include "model/model.h"
#include "platform/log.h"
#include "support/test_support.h"

namespace tb::test {

// An open database in a temporary folder with its model loaded and the journal on.
class ModelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        log_set_file(dir / "tagberry.log", &reporter);
        ASSERT_EQ(db.open_database(dir / "data"), OpenStatus::Ok);
        model.load();
        model.journal.set_enabled(true);
    }
    void TearDown() override { log_reset(); }

    int folder(const std::string& title, int parent = kRootFolder) {
        int id = model.folders.create_folder(title, parent);
        model.folders.reload();
        return id;
    }
    int link(const std::string& title, const std::string& url, int parent,
             const std::string& comment = {}) {
        return model.links.add_link_to(parent, title, url, comment);
    }
    void delete_folder(int id) {
        model.folders.delete_folder(id);
        model.folders.reload();
    }

    TempDir dir;
    RecordingReporter reporter;
    Database db{reporter};
    Model model{db};
};

}  // namespace tb::test
