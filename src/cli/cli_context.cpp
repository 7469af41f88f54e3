#include "cli/cli_context.h"

#include <iostream>

#include "platform/data_folder.h"
#include "platform/log.h"

namespace tb::cli {

void StderrReporter::report(const Message& message) {
    ++reported_;
    std::cerr << render(message) << '\n';
}

CliContext::CliContext(ParsedArgs args, std::ostream& out,
                       std::optional<std::filesystem::path> data_dir, bool json)
    : args_(std::move(args)), out_(out), json_(json), data_folder_(tb::data_folder(data_dir)) {
    log_set_file(data_folder_ / kLogFileName, &reporter_);
}

CliContext::~CliContext() = default;

Database* CliContext::database() {
    if (!db_) {
        auto db = std::make_unique<Database>(reporter_);
        if (db->open_database(data_folder_) != OpenStatus::Ok) {
            return nullptr;
        }
        db_ = std::move(db);
    }
    return db_.get();
}

int CliContext::fail(const std::string& text, int code) {
    std::cerr << text << '\n';
    return code;
}

}  // namespace tb::cli
