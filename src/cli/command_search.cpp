#include "cli/command_registry.h"
#include "cli/search_session.h"

namespace tb::cli {

namespace {

int run_search_command(CliContext& context) {
    SearchSession session(context);
    if (!session.ok()) {
        return 1;
    }
    std::string error;
    auto args = parse_search_args(context.parsed(), 0, session, error);
    if (!args) {
        return context.fail(error, 2);
    }
    const int count = session.engine().find(args->entered, args->current_folder);
    return session.print_results(count, false);
}

const Registration search{
    {"search",
     "search TEXT [--any | --all | --advanced] [--in titles,addresses,comments,folders] "
     "[--scope root | below FOLDER | in FOLDER] [--json]",
     "Finds links like the Find dialog (all words in titles, addresses and comments from the "
     "root by default) and remembers a successful search from the root.",
     run_search_command, search_options()}};

}  // namespace

}  // namespace tb::cli
