#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "storage/database.h"

namespace tb {

// One snapshot file of the backups folder.
struct Snapshot {
    std::filesystem::path path;
    std::int64_t time_ms = 0;  // when it was made, from its name
    // Live folders and links it holds; -1 when the file cannot be read.
    std::int64_t folders = -1;
    std::int64_t links = -1;
};

// Milliseconds since the epoch, from the system clock.
std::int64_t current_time_ms();

// Snapshots of the open database in "backups/" of its data folder, made and restored with the
// engine's online backup API, so that a copy is consistent while other connections read or
// write, and a restore goes through the live connection instead of replacing the file.
class Backups {
public:
    explicit Backups(Database& db) : db_(db) {}

    static constexpr const char* kFolderName = "backups";
    // The last snapshots kept whatever their age, and the days that keep their newest one.
    static constexpr int kKeepLatest = 10;
    static constexpr int kKeepDays = 7;
    static constexpr std::int64_t kDailyIntervalMs = 24LL * 60 * 60 * 1000;

    std::filesystem::path folder() const;

    // Writes a snapshot and applies the retention; the new file's path, or nothing after a
    // report. The connection must not be inside a transaction.
    std::optional<std::filesystem::path> create(std::int64_t now_ms = current_time_ms());
    // A snapshot when the newest one is a day old or there is none; true when none was needed or
    // it was written.
    bool create_if_due(std::int64_t now_ms = current_time_ms());
    bool due(std::int64_t now_ms);

    // The program's snapshots, newest first, with their counts.
    std::vector<Snapshot> list();

    // Keeps the newest kKeepLatest snapshots and the newest one of each of the last kKeepDays
    // local days (today included); removes the rest.
    void apply_retention(std::int64_t now_ms);

    // Checks the file, keeps the current state as one more snapshot, then copies the file into
    // the live database and opens it again so that its schema is checked like at start-up.
    // The snapshot of the state before, or nothing after a report; the live database is then
    // unchanged.
    std::optional<std::filesystem::path> restore(const std::filesystem::path& snapshot,
                                                 std::int64_t now_ms = current_time_ms());

    // A path as given, or else a file of that name in the backups folder.
    std::filesystem::path resolve(const std::filesystem::path& name) const;

private:
    std::optional<std::filesystem::path> write_snapshot(std::int64_t now_ms);
    std::vector<Snapshot> snapshot_files() const;

    Database& db_;
};

}  // namespace tb
