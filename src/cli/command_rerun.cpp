#include "cli/command_registry.h"
#include "cli/search_session.h"

namespace tb::cli {

namespace {

int run_rerun(CliContext& context) {
    const auto& args = context.args();
    const RowId number = args.size() == 1 ? parse_id(args[0]) : -1;
    if (number < 0) {
        return context.fail("usage: rerun N", 2);
    }
    SearchSession session(context);
    if (!session.ok()) {
        return 1;
    }
    session.history().load_query_history();
    // The ids found and the links printed come from one state of the database.
    const ReadSnapshot snapshot(session.model().db);
    auto count =
        number > 0 ? session.engine().rerun_saved(static_cast<size_t>(number - 1)) : std::nullopt;
    if (!count) {
        return context.fail("No saved query " + args[0] + ".", 2);
    }
    return session.print_results(*count, false);
}

const Registration rerun{{"rerun", "rerun N [--json]",
                          "Runs saved query N (as numbered by queries) from the root folder.",
                          run_rerun}};

}  // namespace

}  // namespace tb::cli
