#include <ostream>

#include "cli/command_registry.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "add FOLDER URL [--title T] [--comment C] [--allow-duplicates]";

int run_add(CliContext& context) {
    const ParsedArgs& args = context.parsed();
    if (args.positional.size() != 2) {
        return fail_usage(context, kUsage);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    RowId parent = session.resolve_folder(args.positional[0]);
    if (parent == 0) {
        return 1;
    }
    NewLinkRequest request{
        .parent = parent,
        .title = args.value("--title") ? *args.value("--title") : args.positional[1],
        .url = args.positional[1],
        .comment = args.value("--comment") ? *args.value("--comment") : "",
        .allow_duplicates = args.has("--allow-duplicates")};
    RowId id = session.model().links.add_new_link(request);
    if (id == 0) {
        return 1;
    }
    context.out() << id << "\n";
    return 0;
}

const Registration registration{
    {"add",
     kUsage,
     "Adds a link with the New Link checks; without --title the title is the address.",
     run_add,
     {{"--title", "T", "the link's title"},
      {"--comment", "C", "the link's comment"},
      {"--allow-duplicates", "", "adds the link even when its address is already stored"}}}};

}  // namespace

}  // namespace tb::cli
