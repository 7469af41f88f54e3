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
    SearchEngine& engine = session.engine();
    int code = 0;
    {
        // The ids found and the links printed come from one state of the database, whatever
        // another process writes meanwhile; the history is written once the reads are done.
        const ReadSnapshot snapshot(session.model().db);
        const int count =
            engine.run_search(prepare_find_query(args->entered), args->current_folder, false);
        code = session.print_results(count, false);
    }
    engine.remember();
    return code;
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
