#include <ostream>

#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "history [--json]";

int print_history(ModelSession& session) {
    CliContext& context = session.context();
    JsonArray array;
    for (const JournalRecord& row : session.model().journal.history()) {
        if (context.json()) {
            array.add_raw(JsonObject()
                              .add("action_id", row.action_id)
                              .add("action", row.action)
                              .add("label", Journal::label(row.action))
                              .add("id", row.id)
                              .add("parent_from", row.parent_from)
                              .add("group_id", row.group_id)
                              .add("name_from", row.name_from)
                              .str());
        } else {
            context.out() << row.action_id << '\t' << Journal::label(row.action) << '\t' << row.id
                          << "\n";
        }
    }
    if (context.json()) {
        context.out() << array.str() << "\n";
    }
    return 0;
}

int run_history(CliContext& context) {
    return run_on_model(context, kUsage, print_history);
}

const Registration registration{
    {"history", kUsage, "Lists the journal, newest first, with the Undo labels.", run_history}};

}  // namespace

}  // namespace tb::cli
