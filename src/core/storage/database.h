#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/reporter.h"

namespace tb {

// sqlite3_mprintf formatting: %q doubles quotes, %d and %lld embed numbers.
std::string sql_format(const char* format, ...);

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    ~Statement();

    // True while a row is available.
    bool step();
    std::int64_t int64(int column) const;
    int integer(int column) const;
    std::string text(int column) const;
    bool is_null(int column) const;

    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_;
};

enum class OpenStatus {
    Ok,
    CannotCreateDataFolder,  // message 182; the program ends with exit code 1
    CannotOpen,              // the engine's message was reported
    NotADatabase,            // the file is refused and never written to
};

// The one connection to "tb2.db", its schema and upgrades, the query helper every write goes
// through, and the program's own "like" function.
class Database {
public:
    explicit Database(Reporter& reporter);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    static constexpr const char* kFileName = "tb2.db";

    OpenStatus open_database(const std::filesystem::path& data_folder);
    void close_database();
    bool is_open() const { return db_ != nullptr; }
    const std::filesystem::path& data_folder() const { return data_folder_; }
    std::filesystem::path file_path() const { return data_folder_ / kFileName; }

    // Runs one statement that returns no rows; on failure writes the log line, reports and
    // returns false.
    bool easy_query(const std::string& sql);

    // Bulk writes: synchronous OFF and one transaction. Calls nest; only the outermost pair sets
    // the pragma and begins or commits.
    void set_bulk_mode(bool on);
    // Rolls the open bulk transaction back (a cancelled import); the outermost set_bulk_mode(false)
    // then only restores the pragma.
    void rollback_bulk();
    int bulk_depth() const { return bulk_depth_; }

    // Prepares a reading statement; on failure reports the engine's message and returns nothing.
    std::optional<Statement> prepare(const std::string& sql);
    // First column of the first row, or the fallback.
    std::int64_t query_int(const std::string& sql, std::int64_t fallback = 0);
    bool has_rows(const std::string& sql);

    std::int64_t last_insert_rowid() const;
    // Changes seen from other connections since the last call (PRAGMA data_version).
    std::int64_t data_version();

    sqlite3* handle() const { return db_; }
    Reporter& reporter() { return reporter_; }
    std::string error_text() const;

private:
    bool probe_readable();
    void create_schema_if_missing(bool file_existed);
    void upgrade_columns();
    void create_table_if_missing(const char* table, const char* create_sql);

    Reporter& reporter_;
    sqlite3* db_ = nullptr;
    std::filesystem::path data_folder_;
    int bulk_depth_ = 0;
    bool bulk_rolled_back_ = false;
};

}  // namespace tb
