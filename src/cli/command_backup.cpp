#include <ostream>

#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "cli/model_session.h"
#include "storage/backup.h"

namespace tb::cli {

namespace {

constexpr const char* kBackupUsage = "backup [--json]";
constexpr const char* kRestoreUsage = "restore FILE";

std::string count_text(std::int64_t count) {
    return count < 0 ? "?" : std::to_string(count);
}

void print_snapshots(CliContext& context, const std::vector<Snapshot>& snapshots) {
    JsonArray array;
    for (const Snapshot& snapshot : snapshots) {
        const std::string time = time_text(snapshot.time_ms / 1000);
        if (context.json()) {
            array.add_raw(JsonObject()
                              .add("file", snapshot.path.string())
                              .add("time", time)
                              .add("folders", snapshot.folders)
                              .add("links", snapshot.links)
                              .str());
        } else {
            context.out() << snapshot.path.filename().string() << '\t' << time << '\t' << "folders "
                          << count_text(snapshot.folders) << '\t' << "links "
                          << count_text(snapshot.links) << "\n";
        }
    }
    if (context.json()) {
        context.out() << array.str() << "\n";
    }
}

int run_backup(CliContext& context) {
    if (!context.args().empty()) {
        return fail_usage(context, kBackupUsage);
    }
    Database* db = context.database();
    if (db == nullptr) {
        return 1;
    }
    Backups backups(*db);
    if (!backups.create()) {
        return 1;
    }
    print_snapshots(context, backups.list());
    return 0;
}

int run_restore(CliContext& context) {
    const ParsedArgs& args = context.parsed();
    if (args.positional.size() != 1) {
        return fail_usage(context, kRestoreUsage);
    }
    Database* db = context.database();
    if (db == nullptr) {
        return 1;
    }
    Backups backups(*db);
    const auto previous = backups.restore(args.positional[0]);
    if (!previous) {
        return 1;
    }
    context.out() << "Restored " << backups.resolve(args.positional[0]).string()
                  << "\nThe state before is kept in " << previous->string() << "\n";
    return 0;
}

const Registration backup{{"backup", kBackupUsage,
                           "Writes a snapshot of the database into backups/ and lists the "
                           "snapshots, newest first, with their folder and link counts.",
                           run_backup}};

const Registration restore{{"restore", kRestoreUsage,
                            "Checks a snapshot (a path, or a name from the backups list), keeps "
                            "the current state as one more snapshot, and copies it into the "
                            "database.",
                            run_restore}};

}  // namespace

}  // namespace tb::cli
