#include "storage/backup.h"
#include "storage/schema.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <set>
#include <string_view>
#include <system_error>
#include <thread>

#include "platform/log.h"

namespace tb {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "tagberry-backup-";
constexpr std::string_view kSuffix = ".db";
// Written under this name beside its final one, so that a killed copy is never listed.
constexpr std::string_view kPartSuffix = ".part";
constexpr auto kStalePartAge = std::chrono::hours(1);
// "YYYYMMDD-HHMMSS-mmm" in UTC: names sort by time whatever the time zone.
constexpr std::size_t kStampLength = 19;
constexpr int kBusyRetries = 50;
constexpr const char* kInTransaction = "a transaction is open";
constexpr auto kBusyPause = std::chrono::milliseconds(100);

const char* const kCannotWrite = TB_TRANSLATE_NOOP("Strings", "Cannot write the backup '%1': %2");
const char* const kCannotRead = TB_TRANSLATE_NOOP("Strings", "Cannot read the backup '%1': %2");
const char* const kDamaged =
    TB_TRANSLATE_NOOP("Strings", "The backup '%1' is damaged and was not restored: %2");
const char* const kForeign = TB_TRANSLATE_NOOP(
    "Strings", "The file '%1' holds no bookmarks of this program and was not restored.");
const char* const kIsLive = TB_TRANSLATE_NOOP(
    "Strings", "The file '%1' is the database in use and cannot be restored over itself.");
const char* const kCannotRestore =
    TB_TRANSLATE_NOOP("Strings", "Cannot restore the backup '%1': %2");

const std::string kCountFolders =
    "SELECT COUNT(*) FROM tb_folders WHERE id NOT IN " + schema::kPendingFolderIds;
const std::string kCountLinks = "SELECT COUNT(*) FROM tb_links WHERE id NOT IN " +
                                schema::kPendingLinkIds + " AND parent NOT IN " +
                                schema::kPendingFolderIds;

// A connection of its own to a snapshot file, closed on every exit.
struct Connection {
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { sqlite3_close_v2(db); }

    // The engine's message, or empty when the file opened.
    std::string open(const fs::path& path, int flags) {
        int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
        if (rc != SQLITE_OK) {
            return db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        }
        sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        return {};
    }

    sqlite3* db = nullptr;
};

std::string snapshot_name(std::int64_t time_ms) {
    const std::time_t seconds = static_cast<std::time_t>(time_ms / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d-%03d", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(time_ms % 1000));
    return std::string(kPrefix) + stamp + std::string(kSuffix);
}

// The time in a snapshot's name, or nothing for a file that is not one of the program's.
std::optional<std::int64_t> snapshot_time(const std::string& name) {
    if (name.size() != kPrefix.size() + kStampLength + kSuffix.size() ||
        !name.starts_with(kPrefix) || !name.ends_with(kSuffix)) {
        return std::nullopt;
    }
    const std::string stamp = name.substr(kPrefix.size(), kStampLength);
    for (std::size_t i = 0; i < stamp.size(); ++i) {
        const bool dash = i == 8 || i == 15;
        if (dash ? stamp[i] != '-' : !std::isdigit(static_cast<unsigned char>(stamp[i]))) {
            return std::nullopt;
        }
    }
    std::tm utc{};
    utc.tm_year = std::stoi(stamp.substr(0, 4)) - 1900;
    utc.tm_mon = std::stoi(stamp.substr(4, 2)) - 1;
    utc.tm_mday = std::stoi(stamp.substr(6, 2));
    utc.tm_hour = std::stoi(stamp.substr(9, 2));
    utc.tm_min = std::stoi(stamp.substr(11, 2));
    utc.tm_sec = std::stoi(stamp.substr(13, 2));
    return static_cast<std::int64_t>(timegm(&utc)) * 1000 + std::stoi(stamp.substr(16, 3));
}

// Days since the epoch of the local calendar day.
std::int64_t local_day(std::int64_t time_ms) {
    const std::time_t seconds = static_cast<std::time_t>(time_ms / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    using namespace std::chrono;
    const year_month_day date{year(local.tm_year + 1900),
                              month(static_cast<unsigned>(local.tm_mon + 1)),
                              day(static_cast<unsigned>(local.tm_mday))};
    return sys_days(date).time_since_epoch().count();
}

// A name not yet taken: a later millisecond when two snapshots fall on the same one.
fs::path free_path(const fs::path& folder, std::int64_t time_ms) {
    std::error_code ec;
    for (;; ++time_ms) {
        fs::path candidate = folder / snapshot_name(time_ms);
        fs::path part = candidate;
        part += kPartSuffix;
        if (!fs::exists(candidate, ec) && !fs::exists(part, ec)) {
            return candidate;
        }
    }
}

// Parts left by a killed copy; a younger one may belong to a copy still running elsewhere.
void remove_stale_parts(const fs::path& folder) {
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(kPrefix) && name.ends_with(kPartSuffix) &&
            now - entry.last_write_time(ec) > kStalePartAge) {
            fs::remove(entry.path(), ec);
        }
    }
}

// Copies every page of `source` into `destination`; the engine's message, or empty.
std::string copy_pages(sqlite3* destination, sqlite3* source) {
    sqlite3_backup* backup = sqlite3_backup_init(destination, "main", source, "main");
    if (backup == nullptr) {
        return sqlite3_errmsg(destination);
    }
    int rc = sqlite3_backup_step(backup, -1);
    for (int retry = 0; (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && retry < kBusyRetries;
         ++retry) {
        std::this_thread::sleep_for(kBusyPause);
        rc = sqlite3_backup_step(backup, -1);
    }
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        return sqlite3_errstr(rc);
    }
    return finished == SQLITE_OK ? std::string() : sqlite3_errmsg(destination);
}

std::string execute(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) == SQLITE_OK) {
        return {};
    }
    std::string text = error != nullptr ? error : sqlite3_errmsg(db);
    sqlite3_free(error);
    return text;
}

std::string write_copy(sqlite3* source, const fs::path& path) {
    Connection copy;
    std::string error = copy.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (error.empty()) {
        error = copy_pages(copy.db, source);
    }
    // The copy carries the live file's WAL flag; a snapshot is one plain file on its own.
    if (error.empty()) {
        error = execute(copy.db, "PRAGMA journal_mode = DELETE");
    }
    return error;
}

// The first integrity_check row that is not "ok", or the engine's message; empty when sound.
std::string integrity_problem(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr);
    std::string problem;
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
    }
    if (rc == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        problem = text != nullptr && std::strcmp(text, "ok") == 0 ? "" : (text ? text : "?");
    } else {
        problem = sqlite3_errmsg(db);
    }
    sqlite3_finalize(stmt);
    return problem;
}

std::int64_t query_count(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    std::int64_t count = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        count = sqlite3_column_int64(stmt, 0);
    }
    sqlite3_finalize(stmt);
    return count;
}

bool holds_program_data(sqlite3* db) {
    return query_count(db,
                       "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                       "('tb_folders', 'tb_links', 'tb_undo')") == 3;
}

void read_counts(Snapshot& snapshot) {
    Connection file;
    if (!file.open(snapshot.path, SQLITE_OPEN_READONLY).empty()) {
        return;
    }
    snapshot.folders = query_count(file.db, kCountFolders.c_str());
    snapshot.links = query_count(file.db, kCountLinks.c_str());
}

}  // namespace

std::int64_t current_time_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

fs::path Backups::folder() const {
    return db_.data_folder() / kFolderName;
}

fs::path Backups::resolve(const fs::path& name) const {
    std::error_code ec;
    if (name.is_absolute() || fs::exists(name, ec) || !fs::exists(folder() / name, ec)) {
        return name;
    }
    return folder() / name;
}

std::optional<fs::path> Backups::write_snapshot(std::int64_t now_ms) {
    const fs::path dir = folder();
    std::error_code ec;
    fs::create_directories(dir, ec);
    remove_stale_parts(dir);
    const fs::path target = free_path(dir, now_ms);
    fs::path part = target;
    part += kPartSuffix;
    std::string error = !db_.is_open() ? db_.error_text()
                        // A copy inside a transaction would hold its uncommitted rows.
                        : !sqlite3_get_autocommit(db_.handle()) ? kInTransaction
                                                                : write_copy(db_.handle(), part);
    if (error.empty()) {
        fs::rename(part, target, ec);
        error = ec ? ec.message() : "";
    }
    if (!error.empty()) {
        fs::remove(part, ec);
        db_.reporter().report_text(kCannotWrite, {target.string(), error});
        return std::nullopt;
    }
    log_append("Backup written: " + target.string());
    return target;
}

std::optional<fs::path> Backups::create(std::int64_t now_ms) {
    auto path = write_snapshot(now_ms);
    if (path) {
        apply_retention(now_ms);
    }
    return path;
}

bool Backups::due(std::int64_t now_ms) {
    const auto files = snapshot_files();
    return files.empty() || now_ms - files.front().time_ms >= kDailyIntervalMs;
}

bool Backups::create_if_due(std::int64_t now_ms) {
    return !due(now_ms) || create(now_ms).has_value();
}

std::vector<Snapshot> Backups::snapshot_files() const {
    std::vector<Snapshot> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder(), ec)) {
        auto time = snapshot_time(entry.path().filename().string());
        if (time && entry.is_regular_file(ec)) {
            files.push_back({.path = entry.path(), .time_ms = *time});
        }
    }
    std::sort(files.begin(), files.end(),
              [](const Snapshot& a, const Snapshot& b) { return a.time_ms > b.time_ms; });
    return files;
}

std::vector<Snapshot> Backups::list() {
    auto files = snapshot_files();
    for (Snapshot& snapshot : files) {
        read_counts(snapshot);
    }
    return files;
}

void Backups::apply_retention(std::int64_t now_ms) {
    const std::int64_t today = local_day(now_ms);
    std::set<std::int64_t> days_seen;
    const auto files = snapshot_files();
    std::error_code ec;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::int64_t day = local_day(files[i].time_ms);
        const bool newest_of_day = days_seen.insert(day).second;
        const bool recent_day = day <= today && today - day < kKeepDays;
        if (i < kKeepLatest || (newest_of_day && recent_day)) {
            continue;
        }
        fs::remove(files[i].path, ec);
    }
}

std::optional<fs::path> Backups::restore(const fs::path& snapshot, std::int64_t now_ms) {
    Reporter& reporter = db_.reporter();
    const fs::path file = resolve(snapshot);
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        reporter.report_text(kCannotRead, {file.string(), std::strerror(ENOENT)});
        return std::nullopt;
    }
    if (fs::equivalent(file, db_.file_path(), ec)) {
        reporter.report_text(kIsLive, {file.string()});
        return std::nullopt;
    }
    Connection source;
    if (std::string error = source.open(file, SQLITE_OPEN_READONLY); !error.empty()) {
        reporter.report_text(kCannotRead, {file.string(), error});
        return std::nullopt;
    }
    if (std::string problem = integrity_problem(source.db); !problem.empty()) {
        reporter.report_text(kDamaged, {file.string(), problem});
        return std::nullopt;
    }
    if (!holds_program_data(source.db)) {
        reporter.report_text(kForeign, {file.string()});
        return std::nullopt;
    }
    auto previous = write_snapshot(now_ms);
    if (!previous) {
        return std::nullopt;
    }
    if (std::string error = copy_pages(db_.handle(), source.db); !error.empty()) {
        reporter.report_text(kCannotRestore, {file.string(), error});
        return std::nullopt;
    }
    log_append("Restored from the backup " + file.string());
    apply_retention(now_ms);
    if (db_.open_database(db_.data_folder()) != OpenStatus::Ok) {
        return std::nullopt;
    }
    return previous;
}

}  // namespace tb
