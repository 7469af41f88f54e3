#include "storage/database.h"

#include <cstdarg>
#include <system_error>

#include "platform/log.h"
#include "platform/strings.h"
#include "storage/like.h"
#include "storage/schema.h"

namespace tb {

std::string sql_format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    char* text = sqlite3_vmprintf(format, args);
    va_end(args);
    std::string result = text != nullptr ? text : "";
    sqlite3_free(text);
    return result;
}

Statement::Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) {
    other.stmt_ = nullptr;
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

bool Statement::step() {
    return sqlite3_step(stmt_) == SQLITE_ROW;
}

std::int64_t Statement::int64(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

int Statement::integer(int column) const {
    return sqlite3_column_int(stmt_, column);
}

std::string Statement::text(int column) const {
    auto* raw = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return raw != nullptr ? std::string(raw, sqlite3_column_bytes(stmt_, column)) : std::string();
}

bool Statement::is_null(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

Database::Database(Reporter& reporter) : reporter_(reporter) {}

Database::~Database() {
    close_database();
}

OpenStatus Database::open_database(const std::filesystem::path& data_folder) {
    close_database();
    data_folder_ = data_folder;
    std::error_code ec;
    std::filesystem::create_directories(data_folder, ec);
    if (!std::filesystem::is_directory(data_folder, ec)) {
        reporter_.report(msg::kCannotCreateDataDir);
        return OpenStatus::CannotCreateDataFolder;
    }
    const std::filesystem::path path = file_path();
    const bool existed = std::filesystem::exists(path, ec);
    int rc =
        sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        reporter_.report_text(
            TB_TRANSLATE_NOOP("Strings", "Cannot open the database file '%1': %2"),
            {path.string(), db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc)});
        sqlite3_close(db_);
        db_ = nullptr;
        return OpenStatus::CannotOpen;
    }
    sqlite3_busy_timeout(db_, 5000);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    if (!probe_readable()) {
        return OpenStatus::NotADatabase;
    }
    register_like_function(db_);
    create_schema_if_missing(existed);
    create_table_if_missing("tb_channels", schema::kCreateChannels);
    upgrade_columns();
    create_table_if_missing("tb_parents", schema::kCreateParents);
    create_table_if_missing("tb_link_checks", schema::kCreateLinkChecks);
    easy_query(schema::kCreateLinkChecksIndex);
    create_table_if_missing("tb_browser_imports", schema::kCreateBrowserImports);
    create_table_if_missing("tb_browser_items", schema::kCreateBrowserItems);
    return OpenStatus::Ok;
}

// Reading the schema is the first access to the file; a file that is not a database, or that
// cannot be read, fails here before anything is written to it.
bool Database::probe_readable() {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db_, "SELECT COUNT(*) FROM sqlite_master", -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
    }
    sqlite3_finalize(stmt);
    if (rc == SQLITE_ROW) {
        return true;
    }
    reporter_.report_text(TB_TRANSLATE_NOOP("Strings", "Cannot use the database file '%1': %2"),
                          {file_path().string(), sqlite3_errmsg(db_)});
    sqlite3_close(db_);
    db_ = nullptr;
    return false;
}

void Database::create_schema_if_missing(bool file_existed) {
    if (file_existed && has_rows("SELECT * FROM sqlite_master WHERE tbl_name = 'tb_folders'")) {
        return;
    }
    easy_query(schema::kCreateLinks);
    easy_query(schema::kCreateFolders);
    easy_query(schema::kCreateUndo);
    easy_query(schema::kCreateQueries);
    easy_query(schema::kInsertRoot);
}

void Database::create_table_if_missing(const char* table, const char* create_sql) {
    auto probe = prepare(sql_format("SELECT * FROM sqlite_master WHERE tbl_name = '%q'", table));
    if (!probe) {
        return;
    }
    if (!probe->step() && !easy_query(create_sql)) {
        return;
    }
}

void Database::upgrade_columns() {
    struct Upgrade {
        const char* probe;
        const char* column;
        const char* alter;
    };
    const Upgrade upgrades[] = {
        {"SELECT * FROM sqlite_master WHERE tbl_name = 'tb_folders'",
         "protected INTEGER DEFAULT '0'", schema::kAddFolderProtected},
        {"SELECT * FROM sqlite_master WHERE tbl_name = 'tb_undo'",
         "protected_from INTEGER DEFAULT '0'", schema::kAddUndoProtectedFrom},
    };
    for (const Upgrade& upgrade : upgrades) {
        auto probe = prepare(upgrade.probe);
        if (!probe) {
            continue;
        }
        std::string create_text = probe->step() ? probe->text(4) : std::string();
        if (create_text.find(upgrade.column) == std::string::npos) {
            easy_query(upgrade.alter);
        }
    }
}

void Database::close_database() {
    if (db_ == nullptr) {
        return;
    }
    // A bulk still open here was interrupted: half of it must not be kept.
    if (bulk_depth_ > 0) {
        rollback_bulk();
        bulk_depth_ = 1;
        set_bulk_mode(false);
    }
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

std::string Database::error_text() const {
    return db_ != nullptr ? sqlite3_errmsg(db_) : "database is not open";
}

bool Database::easy_query(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (db_ == nullptr || sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        log_append("*** easy_query(): bad SQL query: [" + sql + "]");
        reporter_.report(msg::kSqlError, {error_text(), sql});
        return false;
    }
    int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        log_append("*** easy_query(): bad SQL query: [" + sql + "]");
        reporter_.report_text(error_text());
        sqlite3_finalize(stmt);
        return false;
    }
    sqlite3_finalize(stmt);
    return true;
}

void Database::set_bulk_mode(bool on) {
    if (on) {
        if (bulk_depth_++ == 0) {
            bulk_rolled_back_ = false;
            easy_query("PRAGMA synchronous = OFF");
            easy_query("BEGIN IMMEDIATE");
        }
        return;
    }
    if (bulk_depth_ == 0 || --bulk_depth_ > 0) {
        return;
    }
    if (!bulk_rolled_back_ && db_ != nullptr && !sqlite3_get_autocommit(db_) &&
        !easy_query("COMMIT") && !sqlite3_get_autocommit(db_)) {
        easy_query("ROLLBACK");
    }
    easy_query("PRAGMA synchronous = NORMAL");
}

void Database::rollback_bulk() {
    if (bulk_depth_ > 0 && !bulk_rolled_back_ && db_ != nullptr && !sqlite3_get_autocommit(db_)) {
        easy_query("ROLLBACK");
    }
    bulk_rolled_back_ = bulk_depth_ > 0;
}

std::optional<Statement> Database::prepare(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (db_ == nullptr || sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        reporter_.report_text(error_text());
        return std::nullopt;
    }
    return Statement(db_, stmt);
}

std::int64_t Database::query_int(const std::string& sql, std::int64_t fallback) {
    auto stmt = prepare(sql);
    if (!stmt || !stmt->step() || stmt->is_null(0)) {
        return fallback;
    }
    return stmt->int64(0);
}

bool Database::has_rows(const std::string& sql) {
    auto stmt = prepare(sql);
    return stmt && stmt->step();
}

std::int64_t Database::last_insert_rowid() const {
    return db_ != nullptr ? sqlite3_last_insert_rowid(db_) : 0;
}

std::int64_t Database::data_version() {
    return query_int("PRAGMA data_version");
}

}  // namespace tb
