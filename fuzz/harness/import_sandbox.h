#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "exchange/import_driver.h"
#include "model/model.h"
#include "platform/reporter.h"
#include "storage/database.h"

namespace tb::fuzz {

// A fresh data folder, database and model for one import, and the checks that every import has
// to pass whatever its input: valid UTF-8 in every stored text, every link in a live folder that
// hangs below the root, the reported counts equal to the rows, and no transaction left open.
class ImportSandbox {
public:
    ImportSandbox();
    ~ImportSandbox();
    ImportSandbox(const ImportSandbox&) = delete;
    ImportSandbox& operator=(const ImportSandbox&) = delete;

    // A folder for the import's input files, emptied for each sandbox.
    const std::filesystem::path& input_folder() const { return input_; }

    // Runs the import and checks the database it leaves.
    ImportResult import_checked(const ImportRequest& request);

private:
    void check_text_columns(const char* table, const char* columns);
    void check_tree();
    struct RowCounts {
        std::int64_t folders = 0;
        std::int64_t links = 0;
    };
    RowCounts row_counts();
    void check_counts(const RowCounts& before, const ImportResult& result);

    std::filesystem::path data_;
    std::filesystem::path input_;
    SilentReporter reporter_;
    std::unique_ptr<Database> db_;
    std::unique_ptr<Model> model_;
};

}  // namespace tb::fuzz
