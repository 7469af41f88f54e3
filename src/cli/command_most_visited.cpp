#include "cli/command_registry.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "most-visited [--json]";

int run_most_visited(CliContext& context) {
    return run_on_model(context, kUsage, [](ModelSession& session) {
        VisitStatistics& statistics = session.model().statistics;
        statistics.calculate_favourites(statistics_options().favourites_mode);
        session.print_links(statistics.build_most_visited());
        return 0;
    });
}

const Registration registration{{"most-visited", kUsage,
                                 "Lists the Most Visited links under the current settings.",
                                 run_most_visited}};

}  // namespace

}  // namespace tb::cli
