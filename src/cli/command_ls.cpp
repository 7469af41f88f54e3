#include "cli/command_registry.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "ls FOLDER [--json]";

int run_ls(CliContext& context) {
    const ParsedArgs& args = context.parsed();
    if (args.positional.size() != 1) {
        return context.fail("usage: " + std::string(kUsage), 2);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    RowId folder = session.resolve_folder(args.positional[0]);
    if (folder == 0) {
        return 1;
    }
    session.print_links(session.model().links.links_in(folder));
    return 0;
}

const Registration registration{
    {"ls", kUsage,
     "Lists a folder's links: id, title, address, comment, visits, last visit, duplicates.",
     run_ls}};

}  // namespace

}  // namespace tb::cli
