#include <ostream>

#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "undo";

int run_undo(CliContext& context) {
    if (!context.args().empty()) {
        return context.fail("usage: " + std::string(kUsage), 2);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    Model& model = session.model();
    if (!model.journal.journal_not_empty()) {
        context.out() << "The journal is empty: nothing to undo.\n";
        return 0;
    }
    auto last = model.journal.load_last_action();
    int action = model.undo_last_action();
    if (action == -1 || !last) {
        return 1;
    }
    context.out() << Journal::label(last->action) << "\n";
    return 0;
}

const Registration registration{
    {"undo", kUsage, "Undoes the last journalled action and prints its label.", run_undo}};

}  // namespace

}  // namespace tb::cli
