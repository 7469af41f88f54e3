#include <ostream>

#include "cli/command_registry.h"
#include "cli/model_session.h"
#include "platform/messages.h"
#include "text/control_chars.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "duplicates ID [--json]";

int print_duplicates(ModelSession& session, const Link& link) {
    CliContext& context = session.context();
    std::vector<Link> same = session.model().links.duplicates_of(link.id);
    if (same.size() <= 1) {
        context.reporter().report(msg::kNoDuplicates);
        return 1;
    }
    if (context.json()) {
        session.print_links(same);
        return 0;
    }
    for (const Link& other : same) {
        context.out() << other.id << '\t' << escape_control_chars(other.title) << '\t'
                      << escape_control_chars(session.model().folders.folder_path(other.parent))
                      << "\n";
    }
    return 0;
}

int run_duplicates(CliContext& context) {
    return run_on_link(context, kUsage, print_duplicates);
}

const Registration registration{{"duplicates", kUsage,
                                 "Lists the live links with the same address, the link included.",
                                 run_duplicates}};

}  // namespace

}  // namespace tb::cli
