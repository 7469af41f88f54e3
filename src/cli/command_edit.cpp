#include <ostream>

#include "cli/command_registry.h"
#include "cli/model_session.h"
#include "platform/messages.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "edit ID [--title T] [--url U] [--comment C]";

int run_edit(CliContext& context) {
    const ParsedArgs& args = context.parsed();
    if (args.positional.size() != 1) {
        return fail_usage(context, kUsage);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    const std::optional<Link> link = session.resolve_link(args.positional[0]);
    if (!link) {
        return 1;
    }
    auto pick = [&](const char* option, const std::string& current) {
        const std::string* given = args.value(option);
        return given != nullptr ? *given : current;
    };
    if (!session.model().links.edit_link_checked(link->id, pick("--title", link->title),
                                                 pick("--url", link->url),
                                                 pick("--comment", link->comment))) {
        return 1;
    }
    context.out() << english_string(msg::kLinkUpdated) << "\n";
    return 0;
}

const Registration registration{{"edit",
                                 kUsage,
                                 "Edits a link; texts not given stay as they are.",
                                 run_edit,
                                 {{"--title", "T", "the new title"},
                                  {"--url", "U", "the new address"},
                                  {"--comment", "C", "the new comment"}}}};

}  // namespace

}  // namespace tb::cli
