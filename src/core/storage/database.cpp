#include "storage/database.h"

#include <algorithm>
#include <cstdarg>
#include <system_error>

#include "platform/log.h"
#include "platform/messages.h"
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

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), stmt_(other.stmt_), reporter_(other.reporter_), failed_(other.failed_) {
    other.stmt_ = nullptr;
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Step Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        return Step::Row;
    }
    if (rc == SQLITE_DONE) {
        return Step::Done;
    }
    if (!failed_) {
        failed_ = true;
        reporter_->report_text(sqlite3_errmsg(db_));
    }
    return Step::Error;
}

bool Statement::bind(SqlValues values) {
    int index = 0;
    for (const SqlValue& value : values) {
        ++index;
        int rc = SQLITE_OK;
        if (const auto* number = std::get_if<std::int64_t>(&value)) {
            rc = sqlite3_bind_int64(stmt_, index, *number);
        } else if (const auto* text = std::get_if<std::string_view>(&value)) {
            rc = sqlite3_bind_text64(stmt_, index, text->data(), text->size(), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
        } else {
            rc = sqlite3_bind_null(stmt_, index);
        }
        if (rc != SQLITE_OK) {
            return false;
        }
    }
    return true;
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    failed_ = false;
}

std::int64_t Statement::int64(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

int Statement::integer(int column) const {
    return sqlite3_column_int(stmt_, column);
}

std::string Statement::text(int column) const {
    std::string out;
    read_text(column, out);
    return out;
}

void Statement::read_text(int column, std::string& out) const {
    auto* raw = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (raw == nullptr) {
        out.clear();
        return;
    }
    out.assign(raw, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
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
    ++generation_;
    data_folder_ = data_folder;
    std::error_code ec;
    std::filesystem::create_directories(data_folder, ec);
    if (!std::filesystem::is_directory(data_folder, ec)) {
        reporter_.report(msg::kCannotCreateDataDir);
        return OpenStatus::CannotCreateDataFolder;
    }
    const std::filesystem::path path = file_path();
    // Only the thread that opens the connection uses it, so the engine need not lock it around
    // every call: a search reads each column of each row through such calls.
    int rc =
        sqlite3_open_v2(path.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
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
    if (!probe_readable() || !holds_our_tables()) {
        return OpenStatus::NotADatabase;
    }
    use_write_ahead_log();
    register_like_function(db_);
    if (!complete_schema()) {
        close_database();
        return OpenStatus::CannotOpen;
    }
    return OpenStatus::Ok;
}

// A file whose tables are all another program's is refused before anything is written to it.
bool Database::holds_our_tables() {
    const bool empty = query_int("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'") == 0;
    if (empty ||
        has_rows("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?", {"tb_folders"})) {
        return true;
    }
    reporter_.report_text(TB_TRANSLATE_NOOP("Strings",
                                            "The file '%1' holds the tables of another "
                                            "program; it is left untouched."),
                          {file_path().string()});
    sqlite3_close(db_);
    db_ = nullptr;
    return false;
}

// Readers then never wait for a writer, nor a writer for readers. The file stays readable by any
// engine since 3.7; where the log cannot be used the file keeps its rollback journal.
void Database::use_write_ahead_log() {
    auto mode = prepare("PRAGMA journal_mode = WAL");
    if (!mode || mode->step() != Step::Row || mode->text(0) != "wal") {
        log_append("*** journal_mode = WAL: " + error_text());
    }
    // In the log's mode this is safe against kills and saves a sync per commit.
    run("PRAGMA synchronous = NORMAL");
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

namespace {

struct TablePart {
    const char* table;
    const char* create;
};

constexpr TablePart kTables[] = {
    {"tb_links", schema::kCreateLinks},
    {"tb_folders", schema::kCreateFolders},
    {"tb_undo", schema::kCreateUndo},
    {"tb_queries", schema::kCreateQueries},
    {"tb_channels", schema::kCreateChannels},
    {"tb_parents", schema::kCreateParents},
    {"tb_link_checks", schema::kCreateLinkChecks},
    {"tb_browser_imports", schema::kCreateBrowserImports},
    {"tb_browser_items", schema::kCreateBrowserItems},
};

struct IndexPart {
    const char* index;
    const char* create;
};

constexpr IndexPart kIndexes[] = {
    {"tb_link_checks_link", schema::kCreateLinkChecksIndex},
    {"tb_links_parent_title", schema::kCreateLinksByParentIndex},
    {"tb_links_url", schema::kCreateLinksByUrlIndex},
    {"tb_undo_action", schema::kCreateUndoByActionIndex},
};

struct ColumnPart {
    const char* table;
    const char* column;
    const char* alter;
};

constexpr ColumnPart kColumns[] = {
    {"tb_folders", "protected INTEGER DEFAULT '0'", schema::kAddFolderProtected},
    {"tb_undo", "protected_from INTEGER DEFAULT '0'", schema::kAddUndoProtectedFrom},
};

}  // namespace

// Every open checks each table, each added column and the root row, and adds what is missing
// in one transaction: a first start cut short leaves nothing half made. A complete file is only
// read, so that opening it takes no write lock.
std::vector<const char*> Database::missing_schema_parts() {
    std::vector<const char*> missing;
    for (const TablePart& part : kTables) {
        if (!has_rows("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?",
                      {part.table})) {
            missing.push_back(part.create);
        }
    }
    for (const ColumnPart& part : kColumns) {
        auto create = prepare("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?",
                              {part.table});
        const bool found = create && create->step() == Step::Row &&
                           create->text(0).find(part.column) != std::string::npos;
        if (!found) {
            missing.push_back(part.alter);
        }
    }
    for (const IndexPart& part : kIndexes) {
        if (!has_rows("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?",
                      {part.index})) {
            missing.push_back(part.create);
        }
    }
    const bool folders_missing =
        std::find(missing.begin(), missing.end(), schema::kCreateFolders) != missing.end();
    if (folders_missing || !has_rows("SELECT 1 FROM tb_folders WHERE id = ?", {kRootId})) {
        missing.push_back(schema::kInsertRoot);
    }
    return missing;
}

bool Database::complete_schema() {
    const std::vector<const char*> missing = missing_schema_parts();
    if (missing.empty()) {
        return true;
    }
    Transaction transaction(*this);
    for (const char* sql : missing) {
        if (!easy_query(sql)) {
            return false;
        }
    }
    return transaction.commit();
}

void Database::close_database() {
    if (db_ == nullptr) {
        return;
    }
    // A transaction still open here was interrupted: half of it must not be kept.
    if (!sqlite3_get_autocommit(db_)) {
        run("ROLLBACK");
    }
    // Folds the log into the file, so that a copy of the file alone is complete.
    // Without waiting: while another process writes, it folds the log in at its own close.
    sqlite3_busy_timeout(db_, 0);
    run("PRAGMA wal_checkpoint(TRUNCATE)");
    depth_ = 0;
    doomed_ = false;
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

std::string Database::error_text() const {
    return db_ != nullptr ? sqlite3_errmsg(db_) : "database is not open";
}

bool Database::easy_query(std::string_view sql, SqlValues values) {
    if (transaction_failed()) {
        return false;
    }
    auto stmt = compile(sql, values);
    if (!stmt) {
        write_failed(sql);
        return false;
    }
    if (stmt->step() == Step::Error) {
        log_append("*** easy_query(): bad SQL query: [" + std::string(sql) + "]");
        doomed_ = depth_ > 0;
        return false;
    }
    return true;
}

void Database::write_failed(std::string_view sql) {
    log_append("*** easy_query(): bad SQL query: [" + std::string(sql) + "]");
    reporter_.report(msg::kSqlError, {error_text(), std::string(sql)});
    doomed_ = depth_ > 0;
}

bool Database::run(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool Database::begin_transaction() {
    if (depth_++ > 0) {
        return !doomed_;
    }
    doomed_ = false;
    if (db_ == nullptr || !run("BEGIN IMMEDIATE")) {
        log_append("*** BEGIN IMMEDIATE: " + error_text());
        reporter_.report_text(error_text());
        doomed_ = true;
        return false;
    }
    return true;
}

bool Database::end_transaction(bool commit) {
    if (depth_ == 0) {
        return false;
    }
    if (--depth_ > 0) {
        doomed_ = doomed_ || !commit;
        return !doomed_;
    }
    const bool open = db_ != nullptr && !sqlite3_get_autocommit(db_);
    // The engine rolls back by itself on some errors (a full disk); a commit then has nothing to
    // commit and must not be reported as done.
    bool committed = commit && !doomed_ && open;
    if (committed && !run("COMMIT")) {
        log_append("*** COMMIT: " + error_text());
        reporter_.report_text(error_text());
        committed = false;
    }
    if (!committed && db_ != nullptr && !sqlite3_get_autocommit(db_)) {
        run("ROLLBACK");
    }
    doomed_ = false;
    return committed;
}

std::optional<Statement> Database::compile(std::string_view sql, SqlValues values) {
    sqlite3_stmt* stmt = nullptr;
    if (db_ == nullptr || sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt,
                                             nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return std::nullopt;
    }
    Statement statement(db_, stmt, reporter_);
    if (!statement.bind(values)) {
        return std::nullopt;
    }
    return statement;
}

std::optional<Statement> Database::prepare(std::string_view sql, SqlValues values) {
    auto statement = compile(sql, values);
    if (!statement) {
        reporter_.report_text(error_text());
    }
    return statement;
}

std::optional<std::int64_t> Database::read_int(std::string_view sql, SqlValues values) {
    auto stmt = prepare(sql, values);
    if (!stmt) {
        return std::nullopt;
    }
    switch (stmt->step()) {
        case Step::Row:
            return stmt->is_null(0) ? std::int64_t{0} : stmt->int64(0);
        case Step::Done:
            return std::int64_t{0};
        case Step::Error:
            break;
    }
    return std::nullopt;
}

std::int64_t Database::query_int(std::string_view sql, SqlValues values, std::int64_t fallback) {
    auto stmt = prepare(sql, values);
    if (!stmt || stmt->step() != Step::Row || stmt->is_null(0)) {
        return fallback;
    }
    return stmt->int64(0);
}

bool Database::has_rows(std::string_view sql, SqlValues values) {
    auto stmt = prepare(sql, values);
    return stmt && stmt->step() == Step::Row;
}

std::int64_t Database::changes() const {
    return db_ != nullptr ? sqlite3_changes64(db_) : 0;
}

std::int64_t Database::last_insert_rowid() const {
    return db_ != nullptr ? sqlite3_last_insert_rowid(db_) : 0;
}

std::int64_t Database::data_version() {
    return query_int("PRAGMA data_version");
}

Transaction::Transaction(Database& db)
    : db_(db), generation_(db.generation_), began_(db.begin_transaction()) {}

Transaction::~Transaction() {
    finish(false);
}

bool Transaction::commit() {
    return finish(true);
}

void Transaction::rollback() {
    finish(false);
}

bool Transaction::finish(bool commit) {
    if (!open_ || generation_ != db_.generation_) {
        return false;
    }
    open_ = false;
    return db_.end_transaction(commit);
}

ReadSnapshot::ReadSnapshot(Database& db)
    : db_(db),
      generation_(db.generation_),
      began_(db.db_ != nullptr && db.depth_ == 0 && sqlite3_get_autocommit(db.db_) != 0 &&
             db.run("BEGIN")) {}

ReadSnapshot::~ReadSnapshot() {
    // Nothing was written: the commit only lets go of the snapshot.
    if (began_ && generation_ == db_.generation_ && sqlite3_get_autocommit(db_.db_) == 0) {
        db_.run("COMMIT");
    }
}

}  // namespace tb
