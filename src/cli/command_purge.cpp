#include "cli/command_registry.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "purge";

int run_purge(CliContext& context) {
    return run_on_model(context, kUsage, [](ModelSession& session) {
        return session.model().journal.purge() ? 0 : 1;
    });
}

const Registration registration{
    {"purge", kUsage, "Carries out the deferred deletions and empties the journal.", run_purge}};

}  // namespace

}  // namespace tb::cli
