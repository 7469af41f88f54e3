#include <ostream>

#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "most-visited [--json]";

int run_most_visited(CliContext& context) {
    if (!context.args().empty()) {
        return context.fail("usage: " + std::string(kUsage), 2);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    VisitStatistics& statistics = session.model().statistics;
    statistics.calculate_favourites(statistics_options().favourites_mode);
    session.print_links(statistics.build_most_visited());
    return 0;
}

const Registration registration{{"most-visited", kUsage,
                                 "Lists the Most Visited links under the current settings.",
                                 run_most_visited}};

}  // namespace

}  // namespace tb::cli
