#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "cli/search_session.h"

namespace tb::cli {

namespace {

int run_rerun(CliContext& context) {
    const auto& args = context.args();
    if (args.size() != 1 || args[0].empty() ||
        args[0].find_first_not_of("0123456789") != std::string::npos || args[0].size() > 9) {
        return context.fail("usage: rerun N", 2);
    }
    auto session = SearchSession::open(context);
    if (!session) {
        return 1;
    }
    session->history.load_query_history();
    const int number = std::stoi(args[0]);
    auto count =
        number > 0 ? session->engine.rerun_saved(static_cast<size_t>(number - 1)) : std::nullopt;
    if (!count) {
        return context.fail("No saved query " + args[0] + ".", 2);
    }
    return print_search_results(context, *session, *count, false);
}

const Registration rerun{{"rerun", "rerun N [--json]",
                          "Runs saved query N (as numbered by queries) from the root folder.",
                          run_rerun}};

}  // namespace

}  // namespace tb::cli
