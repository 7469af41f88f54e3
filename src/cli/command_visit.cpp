#include <ctime>

#include <ostream>

#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "visit ID";

int run_visit(CliContext& context) {
    if (context.args().size() != 1) {
        return context.fail("usage: " + std::string(kUsage), 2);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    const Link* link = session.resolve_link(context.args()[0]);
    if (link == nullptr) {
        return 1;
    }
    return session.model().statistics.update_visits_counter(link->id, link->visits,
                                                            std::time(nullptr))
               ? 0
               : 1;
}

const Registration registration{
    {"visit", kUsage, "Counts a visit of a link without opening it.", run_visit}};

}  // namespace

}  // namespace tb::cli
