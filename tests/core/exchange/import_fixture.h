#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "exchange/import_driver.h"
#include "model/model.h"
#include "platform/log.h"
#include "platform/reporter.h"
#include "storage/database.h"
#include "support/test_support.h"

namespace tb::test {

// A fresh database and model for one import test, with the log in the temp folder.
class ImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = std::make_unique<Database>(reporter);
        ASSERT_EQ(db->open_database(dir.path()), OpenStatus::Ok);
        model = std::make_unique<Model>(*db);
        model->load();
        model->journal.set_enabled(true);
        log_set_file(dir / "tagberry.log", &reporter);
        reporter.clear();
    }

    ImportResult import(ImportSource source, const std::filesystem::path& path,
                        ImportOptions options = {}, const std::string& target = {}) {
        ImportRequest request;
        request.source = source;
        request.path = path;
        request.options = options;
        request.target = target;
        return run_import(*model, request);
    }

    std::string path_of(int folder, int top) const {
        std::vector<std::string> parts;
        for (int at = folder; at != top;) {
            const Folder* f = model->folders.find(at);
            if (f == nullptr) {
                return "<lost>";
            }
            parts.push_back(f->title);
            at = f->parent;
        }
        std::string path;
        for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
            path += (path.empty() ? "" : "/") + *it;
        }
        return path.empty() ? "." : path;
    }

    // "D path" per folder below top and "L path | title | url" per link, sorted.
    std::vector<std::string> tree(int top) {
        std::vector<std::string> lines;
        for (int id : model->folders.descendants(top)) {
            lines.push_back("D " + path_of(id, top));
        }
        for (const Link& link : model->links.links()) {
            std::string path = path_of(link.parent, top);
            if (path != "<lost>") {
                lines.push_back("L " + path + " | " + link.title + " | " + link.url);
            }
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    static std::vector<std::string> expected(const std::filesystem::path& file) {
        std::istringstream in(read_file(file));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line[0] != '#') {
                lines.push_back(line);
            }
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    std::int64_t count(const std::string& sql) { return db->query_int(sql); }

    TempDir dir;
    RecordingReporter reporter;
    std::unique_ptr<Database> db;
    std::unique_ptr<Model> model;
};

}  // namespace tb::test
