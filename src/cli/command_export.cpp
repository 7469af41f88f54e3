#include "cli/command_registry.h"
#include "cli/model_session.h"
#include "exchange/bookmark_export.h"

namespace tb::cli {

namespace {

int run_export(CliContext& context) {
    const auto& args = context.args();
    const std::string* branch_name = context.parsed().value("--branch");
    if (args.size() != 1) {
        return context.fail("usage: export FILE [--branch FOLDER]", 2);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    RowId branch = kNoFolder;
    if (branch_name != nullptr) {
        auto folder = session.find_folder(*branch_name);
        if (!folder) {
            return context.fail("Unknown folder '" + *branch_name + "'.", 2);
        }
        branch = *folder;
    }
    return export_bookmarks(session.model(), args[0], branch) ? 0 : 1;
}

const Registration export_command{
    {"export",
     "export FILE [--branch FOLDER]",
     "Writes the whole tree, or one folder (\"/A/B\" or id) with everything below it, as a "
     "bookmark HTML file.",
     run_export,
     {{"--branch", "FOLDER", "only this folder and everything below it"}}}};

}  // namespace

}  // namespace tb::cli
