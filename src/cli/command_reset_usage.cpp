#include <ostream>

#include "cli/command_registry.h"
#include "cli/model_session.h"
#include "platform/messages.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "reset-usage (ID | --folder F | --all)";

int run_reset_usage(CliContext& context) {
    const ParsedArgs& args = context.parsed();
    const int forms = static_cast<int>(args.positional.size()) + (args.value("--folder") ? 1 : 0) +
                      (args.has("--all") ? 1 : 0);
    if (forms != 1) {
        return fail_usage(context, kUsage);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    VisitStatistics& statistics = session.model().statistics;
    if (args.has("--all")) {
        return statistics.reset_all_usage() ? 0 : 1;
    }
    if (const std::string* name = args.value("--folder")) {
        RowId folder = session.resolve_folder(*name);
        return folder != 0 && statistics.reset_folder_usage(folder) ? 0 : 1;
    }
    const std::optional<Link> link = session.resolve_link(args.positional[0]);
    if (!link || !statistics.reset_link_usage(link->id)) {
        return 1;
    }
    context.out() << english_string(msg::kLinkUpdated) << "\n";
    return 0;
}

const Registration registration{
    {"reset-usage",
     kUsage,
     "Clears visit counts of a link, of the links of one folder, or of all links.",
     run_reset_usage,
     {{"--folder", "F", "the links of this folder"}, {"--all", "", "all links"}}}};

}  // namespace

}  // namespace tb::cli
