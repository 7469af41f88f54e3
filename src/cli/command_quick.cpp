#include "cli/command_registry.h"
#include "cli/search_session.h"

namespace tb::cli {

namespace {

int run_quick(CliContext& context) {
    if (context.args().size() != 1) {
        return context.fail("usage: quick TEXT", 2);
    }
    SearchSession session(context);
    if (!session.ok()) {
        return 1;
    }
    // The ids found and the links printed come from one state of the database.
    const ReadSnapshot snapshot(session.model().db);
    auto count = session.engine().quick_search(context.args()[0]);
    if (!count) {
        return context.fail("A search text is needed.", 2);
    }
    return session.print_results(*count, true);
}

const Registration quick{{"quick", "quick TEXT [--json]",
                          "Searches like the quick-search bar: every word in titles, addresses or "
                          "comments, operators taken as words; never remembered.",
                          run_quick}};

}  // namespace

}  // namespace tb::cli
