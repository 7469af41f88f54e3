#include <ostream>
#include "platform/strings.h"

#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "duplicates ID [--json]";

int run_duplicates(CliContext& context) {
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
    std::vector<Link> same = session.model().links.duplicates_of(link->id);
    if (same.size() <= 1) {
        context.reporter().report(msg::kNoDuplicates);
        return 1;
    }
    if (context.json()) {
        session.print_links(same);
        return 0;
    }
    for (const Link& other : same) {
        context.out() << other.id << '\t' << other.title << '\t'
                      << session.model().folders.folder_path(other.parent) << "\n";
    }
    return 0;
}

const Registration registration{{"duplicates", kUsage,
                                 "Lists the live links with the same address, the link included.",
                                 run_duplicates}};

}  // namespace

}  // namespace tb::cli
