#include <ostream>

#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "purge";

int run_purge(CliContext& context) {
    if (!context.args().empty()) {
        return context.fail("usage: " + std::string(kUsage), 2);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    return session.model().journal.purge() ? 0 : 1;
}

const Registration registration{
    {"purge", kUsage, "Carries out the deferred deletions and empties the journal.", run_purge}};

}  // namespace

}  // namespace tb::cli
