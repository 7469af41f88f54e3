#include <ctime>

#include "cli/command_registry.h"
#include "cli/model_session.h"
#include "cli/xdg_launcher.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "open ID";

int run_open(CliContext& context) {
    return run_on_link(context, kUsage, [](ModelSession& session, const Link& link) {
        XdgLauncher launcher;
        return session.model().statistics.open_link(link.id, launcher, std::time(nullptr)) ? 0 : 1;
    });
}

const Registration registration{
    {"open", kUsage, "Opens a link with xdg-open and counts the visit.", run_open}};

}  // namespace

}  // namespace tb::cli
