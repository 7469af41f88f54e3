#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/reporter.h"

namespace tb {

// sqlite3_mprintf formatting: %q doubles quotes, %d and %lld embed numbers.
std::string sql_format(const char* format, ...);

// A value bound to a statement's next "?" parameter.
using SqlValue = std::variant<std::nullptr_t, std::int64_t, std::string_view>;
using SqlValues = std::initializer_list<SqlValue>;

// What one step of a statement found.
enum class Step { Row, Done, Error };

// A prepared statement that finalizes itself. A failed step is reported once and remembered, so
// that a loop over the rows can tell a complete read from one cut short.
class Statement {
public:
    Statement(sqlite3* db, sqlite3_stmt* stmt, Reporter& reporter)
        : db_(db), stmt_(stmt), reporter_(&reporter) {}
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    ~Statement();

    [[nodiscard]] Step step();
    // Binds the values to the parameters from the first on; false when one does not fit.
    [[nodiscard]] bool bind(SqlValues values);
    // Makes the statement ready for another run with new values.
    void reset();
    bool failed() const { return failed_; }

    std::int64_t int64(int column) const;
    int integer(int column) const;
    std::string text(int column) const;
    // The same into `out`, whose buffer a loop over many rows can keep.
    void read_text(int column, std::string& out) const;
    bool is_null(int column) const;

    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_;
    Reporter* reporter_;
    bool failed_ = false;
};

enum class OpenStatus {
    Ok,
    CannotCreateDataFolder,  // message 182; the program ends with exit code 1
    CannotOpen,              // the engine's message was reported
    NotADatabase,            // the file is refused and never written to
};

class Transaction;

// The one connection to "tb2.db", its schema and upgrades, the query helper every write goes
// through, and the program's own "like" function.
class Database {
public:
    explicit Database(Reporter& reporter);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    static constexpr const char* kFileName = "tb2.db";
    static constexpr std::int64_t kRootId = 1;

    OpenStatus open_database(const std::filesystem::path& data_folder);
    // Rolls back a transaction left open.
    void close_database();
    bool is_open() const { return db_ != nullptr; }
    const std::filesystem::path& data_folder() const { return data_folder_; }
    std::filesystem::path file_path() const { return data_folder_ / kFileName; }

    // Runs one statement with its values bound; on failure writes the log line, reports and
    // returns false. Inside a transaction a failure dooms it, and later writes are not run.
    [[nodiscard]] bool easy_query(std::string_view sql, SqlValues values = {});

    // Prepares a statement with its values bound; on failure reports the engine's message and
    // returns nothing.
    [[nodiscard]] std::optional<Statement> prepare(std::string_view sql, SqlValues values = {});
    // First column of the first row, or the fallback.
    std::int64_t query_int(std::string_view sql, SqlValues values = {}, std::int64_t fallback = 0);
    // Nothing when the read failed.
    std::optional<std::int64_t> read_int(std::string_view sql, SqlValues values = {});
    bool has_rows(std::string_view sql, SqlValues values = {});

    std::int64_t last_insert_rowid() const;
    std::int64_t changes() const;
    // Changes seen from other connections since the last call (PRAGMA data_version).
    std::int64_t data_version();

    // True inside a transaction that can no longer commit.
    bool transaction_failed() const { return depth_ > 0 && doomed_; }
    int transaction_depth() const { return depth_; }
    // For writes run on a statement of the caller's: reports the engine's message and dooms the
    // open transaction.
    void write_failed(std::string_view sql);
    // Dooms the open transaction after a failure that was reported already.
    void mark_transaction_failed() { doomed_ = depth_ > 0; }

    sqlite3* handle() const { return db_; }
    Reporter& reporter() { return reporter_; }
    std::string error_text() const;

private:
    friend class Transaction;
    friend class ReadSnapshot;

    bool begin_transaction();
    bool end_transaction(bool commit);
    bool run(const char* sql);
    std::optional<Statement> compile(std::string_view sql, SqlValues values);
    bool probe_readable();
    bool holds_our_tables();
    void use_write_ahead_log();
    std::vector<const char*> missing_schema_parts();
    bool complete_schema();

    Reporter& reporter_;
    sqlite3* db_ = nullptr;
    std::filesystem::path data_folder_;
    int depth_ = 0;
    bool doomed_ = false;
    // Counts opens, so that a guard outliving its connection leaves a later one alone.
    std::uint64_t generation_ = 0;
};

// One unit of writes: rolls back unless commit() succeeds. Guards nest; only the outermost runs
// BEGIN IMMEDIATE and COMMIT, and a failure anywhere inside makes the outermost commit fail.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // False when BEGIN failed; the writes inside are then not run.
    bool began() const { return began_; }
    // What the COMMIT returned (an inner guard: whether the whole can still commit).
    [[nodiscard]] bool commit();
    void rollback();

private:
    bool finish(bool commit);

    Database& db_;
    std::uint64_t generation_;
    bool began_;
    bool open_ = true;
};

// A run of reads that sees the database as it was at the first of them: what other connections
// commit meanwhile shows once the snapshot ends. It also spares each statement locking the file
// and checking the log again. Nothing is written through the connection while it lasts; inside a
// transaction, which sees one state already, it does nothing.
class ReadSnapshot {
public:
    explicit ReadSnapshot(Database& db);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    Database& db_;
    std::uint64_t generation_;
    bool began_;
};

}  // namespace tb
