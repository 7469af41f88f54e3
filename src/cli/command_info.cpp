#include <ostream>

#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "storage/schema.h"

namespace tb::cli {

namespace {

int run_info(CliContext& context) {
    Database* db = context.database();
    if (db == nullptr) {
        return 1;
    }
    struct Count {
        const char* name;
        std::string sql;
    };
    const Count counts[] = {
        {"folders", "SELECT COUNT(*) FROM tb_folders WHERE id NOT IN " + schema::kPendingFolderIds},
        // All rows less the pending ones: both counts come from indexes, not a scan of the rows.
        {"links",
         "SELECT (SELECT COUNT(*) FROM tb_links) - (SELECT COUNT(*) FROM tb_links WHERE "
         "id IN " +
             schema::kPendingLinkIds + " OR parent IN " + schema::kPendingFolderIds + ")"},
        {"journal_rows", "SELECT COUNT(*) FROM tb_undo"},
        {"saved_queries", "SELECT COUNT(*) FROM tb_queries"},
        {"newsfeeds", "SELECT COUNT(*) FROM tb_channels"},
    };
    JsonObject json;
    json.add("data_folder", context.data_folder().string());
    json.add("database", db->file_path().string());
    if (!context.json()) {
        context.out() << "Data folder:   " << context.data_folder().string() << "\n"
                      << "Database:      " << db->file_path().string() << "\n";
    }
    for (const Count& count : counts) {
        std::int64_t n = db->query_int(count.sql);
        json.add(count.name, n);
        if (!context.json()) {
            std::string label = count.name;
            label[0] = static_cast<char>(label[0] - 32);
            for (char& c : label) {
                c = c == '_' ? ' ' : c;
            }
            label += ":";
            label.resize(15, ' ');
            context.out() << label << n << "\n";
        }
    }
    if (context.json()) {
        context.out() << json.str() << "\n";
    }
    return 0;
}

const Registration info{{"info", "info [--json]",
                         "Shows the data folder, the database and the number of rows of each kind.",
                         run_info}};

}  // namespace

}  // namespace tb::cli
