#include "harness/import_sandbox.h"

#include <sqlite3.h>

#include <string>

#include "harness/fuzz_support.h"
#include "storage/ids.h"

namespace tb::fuzz {

namespace {

namespace fs = std::filesystem;

void recreate(const fs::path& folder) {
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder, ec);
    require(!ec, "cannot create a scratch folder", folder.string());
}

}  // namespace

ImportSandbox::ImportSandbox()
    : data_(scratch_folder() / "data"), input_(scratch_folder() / "input") {
    recreate(data_);
    recreate(input_);
    db_ = std::make_unique<Database>(reporter_);
    require(db_->open_database(data_) == OpenStatus::Ok, "a fresh database does not open");
    model_ = std::make_unique<Model>(*db_);
    model_->load();
    model_->journal.set_enabled(true);
}

ImportSandbox::~ImportSandbox() {
    model_.reset();
    db_.reset();
}

ImportResult ImportSandbox::import_checked(const ImportRequest& request) {
    const RowCounts before = row_counts();
    ImportResult result = run_import(*model_, request);
    require(db_->transaction_depth() == 0, "the import left its transaction guard open");
    require(sqlite3_get_autocommit(db_->handle()) != 0, "the import left a transaction open");
    check_text_columns("tb_folders", "title, comment");
    check_text_columns("tb_links", "title, url, comment");
    check_tree();
    check_counts(before, result);
    return result;
}

void ImportSandbox::check_text_columns(const char* table, const char* columns) {
    std::optional<Statement> rows =
        db_->prepare(std::string("SELECT ") + columns + " FROM " + table);
    require(rows.has_value(), "cannot read the imported rows", table);
    const int count = sqlite3_column_count(rows->get());
    while (rows->step() == Step::Row) {
        for (int column = 0; column < count; ++column) {
            std::string value = rows->text(column);
            require(reference_valid_utf8(value), "a stored text is not valid UTF-8", value);
        }
    }
}

void ImportSandbox::check_tree() {
    std::optional<Statement> folders = db_->prepare("SELECT id FROM tb_folders");
    require(folders.has_value(), "cannot read the folders");
    std::int64_t rows = 0;
    while (folders->step() == Step::Row) {
        ++rows;
        std::int64_t id = folders->int64(0);
        require(model_->folders.find(static_cast<int>(id)) != nullptr,
                "a folder row is not a live folder", std::to_string(id));
    }
    const std::size_t below_root = model_->folders.descendants(kRootFolder).size();
    require(static_cast<std::int64_t>(below_root) + 1 == rows,
            "not every folder hangs below the root");

    std::optional<Statement> links = db_->prepare("SELECT id, parent FROM tb_links");
    require(links.has_value(), "cannot read the links");
    while (links->step() == Step::Row) {
        std::int64_t parent = links->int64(1);
        require(parent != kRootFolder && model_->folders.find(static_cast<int>(parent)) != nullptr,
                "a link is not in a live folder below the root", std::to_string(links->int64(0)));
    }
}

ImportSandbox::RowCounts ImportSandbox::row_counts() {
    return {db_->query_int("SELECT COUNT(*) FROM tb_folders"),
            db_->query_int("SELECT COUNT(*) FROM tb_links")};
}

void ImportSandbox::check_counts(const RowCounts& before, const ImportResult& result) {
    if (result.status == ImportStatus::Cancelled) {
        return;
    }
    const RowCounts after = row_counts();
    const std::int64_t folders = after.folders - before.folders;
    const std::int64_t links = after.links - before.links;
    require(folders == result.folders, "the folder count differs from the report",
            std::to_string(folders) + " stored, " + std::to_string(result.folders) + " reported");
    require(links == result.links, "the link count differs from the report",
            std::to_string(links) + " stored, " + std::to_string(result.links) + " reported");
}

}  // namespace tb::fuzz
