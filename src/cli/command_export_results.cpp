#include "cli/command_registry.h"
#include "cli/search_session.h"
#include "exchange/results_page.h"

namespace tb::cli {

namespace {

int run_export_results(CliContext& context) {
    const auto& args = context.args();
    if (args.size() < 2) {
        return context.fail("usage: export-results FILE SEARCH-ARGS...", 2);
    }
    SearchSession session(context);
    if (!session.ok()) {
        return 1;
    }
    std::string error;
    auto search = parse_search_args(context.parsed(), 1, session, error);
    if (!search) {
        return context.fail(error, 2);
    }
    SearchEngine& engine = session.engine();
    bool saved = false;
    {
        // As in search: the ids found and the links written come from one state of the database.
        const ReadSnapshot snapshot(session.model().db);
        const int count =
            engine.run_search(prepare_find_query(search->entered), search->current_folder, false);
        if (count < 0 || engine.last_query_invalid()) {
            return 2;
        }
        saved = save_search_results_page_from(
            args[0],
            [&engine](const std::function<void(const Link&)>& visit) {
                return engine.visit_results(visit, LinkStore::Order::Title, LinkStore::Flag::Skip);
            },
            engine.current_query().text, context.reporter());
    }
    engine.remember();
    return saved ? 0 : 1;
}

const Registration export_results{
    {"export-results", "export-results FILE SEARCH-ARGS...",
     "Searches like the search command, then writes the results as an HTML page; an empty "
     "result is refused with \"Nothing to save!\".",
     run_export_results, search_options()}};

}  // namespace

}  // namespace tb::cli
