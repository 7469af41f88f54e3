#include "cli/command_registry.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "mv FOLDER TARGET | mv --links ID... TARGET";

int run_mv(CliContext& context) {
    const ParsedArgs& args = context.parsed();
    const bool links = args.has("--links");
    if (args.positional.size() < 2 || (!links && args.positional.size() != 2)) {
        return fail_usage(context, kUsage);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    RowId target = session.resolve_folder(args.positional.back());
    if (target == 0) {
        return 1;
    }
    if (links) {
        std::vector<RowId> ids;
        for (size_t i = 0; i + 1 < args.positional.size(); ++i) {
            const std::optional<Link> link = session.resolve_link(args.positional[i]);
            if (!link) {
                return 1;
            }
            ids.push_back(link->id);
        }
        return session.model().links.move_links(ids, target) ? 0 : 1;
    }
    RowId folder = session.resolve_folder(args.positional[0]);
    if (folder == 0) {
        return 1;
    }
    if (folder == kRootFolder) {
        return context.fail("The root folder cannot be moved.");
    }
    return session.model().folders.move_folder(folder, target) ? 0 : 1;
}

const Registration registration{{"mv",
                                 kUsage,
                                 "Moves a folder, or links, into the target folder.",
                                 run_mv,
                                 {{"--links", "", "moves the links of the ids given"}}}};

}  // namespace

}  // namespace tb::cli
