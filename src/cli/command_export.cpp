#include "cli/command_registry.h"
#include "cli/model_session.h"
#include "exchange/bookmark_export.h"

namespace tb::cli {

namespace {

int run_export(CliContext& context) {
    const auto& args = context.args();
    const bool branch_given = args.size() == 3 && args[1] == "--branch";
    if (args.size() != 1 && !branch_given) {
        return context.fail("usage: export FILE [--branch FOLDER]", 2);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    int branch = kNoFolder;
    if (branch_given) {
        auto folder = session.find_folder(args[2]);
        if (!folder) {
            return context.fail("Unknown folder '" + args[2] + "'.", 2);
        }
        branch = *folder;
    }
    return export_bookmarks(session.model(), args[0], branch) ? 0 : 1;
}

const Registration export_command{
    {"export", "export FILE [--branch FOLDER]",
     "Writes the whole tree, or one folder (\"/A/B\" or id) with everything below it, as a "
     "bookmark HTML file.",
     run_export}};

}  // namespace

}  // namespace tb::cli
