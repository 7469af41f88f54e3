#include <ctime>

#include "cli/command_registry.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "recent [--json]";

int run_recent(CliContext& context) {
    return run_on_model(context, kUsage, [](ModelSession& session) {
        session.print_links(session.model().statistics.build_recently_visited(
            statistics_options().recent_timespan_hours, std::time(nullptr)));
        return 0;
    });
}

const Registration registration{
    {"recent", kUsage, "Lists the Recently Visited links under the current settings.", run_recent}};

}  // namespace

}  // namespace tb::cli
