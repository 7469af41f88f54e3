#include <ostream>

#include "cli/command_registry.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "undo";

int undo(ModelSession& session) {
    Model& model = session.model();
    std::ostream& out = session.context().out();
    if (!model.journal.journal_not_empty()) {
        out << "The journal is empty: nothing to undo.\n";
        return 0;
    }
    auto last = model.journal.load_last_action();
    int action = model.undo_last_action();
    if (action == -1 || !last) {
        return 1;
    }
    out << Journal::label(last->action) << "\n";
    return 0;
}

int run_undo(CliContext& context) {
    return run_on_model(context, kUsage, undo);
}

const Registration registration{
    {"undo", kUsage, "Undoes the last journalled action and prints its label.", run_undo}};

}  // namespace

}  // namespace tb::cli
