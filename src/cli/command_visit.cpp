#include <ctime>

#include "cli/command_registry.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "visit ID";

int run_visit(CliContext& context) {
    return run_on_link(context, kUsage, [](ModelSession& session, const Link& link) {
        return session.model().statistics.update_visits_counter(link.id, link.visits,
                                                                std::time(nullptr))
                   ? 0
                   : 1;
    });
}

const Registration registration{
    {"visit", kUsage, "Counts a visit of a link without opening it.", run_visit}};

}  // namespace

}  // namespace tb::cli
