#include <ostream>

#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "cli/model_session.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "history [--json]";

int run_history(CliContext& context) {
    if (!context.args().empty()) {
        return context.fail("usage: " + std::string(kUsage), 2);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
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

const Registration registration{
    {"history", kUsage, "Lists the journal, newest first, with the Undo labels.", run_history}};

}  // namespace

}  // namespace tb::cli
