#include "cli/command_registry.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "rename FOLDER TITLE [--protect|--unprotect]";

int run_rename(CliContext& context) {
    const ParsedArgs& args = context.parsed();
    if (args.positional.size() != 2 || (args.has("--protect") && args.has("--unprotect"))) {
        return fail_usage(context, kUsage);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    RowId id = session.resolve_folder(args.positional[0]);
    if (id == 0) {
        return 1;
    }
    if (id == kRootFolder) {
        return context.fail("The root folder cannot be renamed.");
    }
    const Folder* folder = session.model().folders.find(id);
    bool is_protected = args.has("--protect") || (folder->is_protected && !args.has("--unprotect"));
    return session.model().folders.rename_folder(id, args.positional[1], is_protected) ? 0 : 1;
}

const Registration registration{{"rename",
                                 kUsage,
                                 "Retitles a folder and sets or clears \"Protect child links\".",
                                 run_rename,
                                 {{"--protect", "", "sets \"Protect child links\""},
                                  {"--unprotect", "", "clears \"Protect child links\""}}}};

}  // namespace

}  // namespace tb::cli
