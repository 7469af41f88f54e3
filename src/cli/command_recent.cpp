#include <ctime>

#include <ostream>

#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "recent [--json]";

int run_recent(CliContext& context) {
    if (!context.args().empty()) {
        return context.fail("usage: " + std::string(kUsage), 2);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    session.print_links(session.model().statistics.build_recently_visited(
        statistics_options().recent_timespan_hours, std::time(nullptr)));
    return 0;
}

const Registration registration{
    {"recent", kUsage, "Lists the Recently Visited links under the current settings.", run_recent}};

}  // namespace

}  // namespace tb::cli
