#include "cli/command_registry.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "rm FOLDER | rm --links ID...";

int run_rm(CliContext& context) {
    const ParsedArgs& args = context.parsed();
    const bool links = args.has("--links");
    if (args.positional.empty() || (!links && args.positional.size() != 1)) {
        return fail_usage(context, kUsage);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    if (links) {
        std::vector<RowId> ids;
        for (const std::string& text : args.positional) {
            const std::optional<Link> link = session.resolve_link(text);
            if (!link) {
                return 1;
            }
            ids.push_back(link->id);
        }
        return session.model().links.delete_links(ids) ? 0 : 1;
    }
    RowId folder = session.resolve_folder(args.positional[0]);
    if (folder == 0) {
        return 1;
    }
    return session.model().folders.delete_folder(folder) ? 0 : 1;
}

const Registration registration{
    {"rm",
     kUsage,
     "Deletes a folder with its subtree, or links; the journal keeps them until the purge.",
     run_rm,
     {{"--links", "", "deletes the links of the ids given"}}}};

}  // namespace

}  // namespace tb::cli
