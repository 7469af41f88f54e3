#include <ostream>

#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "cli/model_session.h"
#include "platform/messages.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "mkdir PARENT TEXT [--json]";

int run_mkdir(CliContext& context) {
    const ParsedArgs& args = context.parsed();
    if (args.positional.size() != 2) {
        return context.fail("usage: " + std::string(kUsage), 2);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    RowId parent = session.resolve_folder(args.positional[0]);
    if (parent == 0) {
        return 1;
    }
    const std::string& text = args.positional[1];
    if (text.empty()) {
        context.reporter().report(msg::kFolderTitleEmpty);
        return 1;
    }
    std::vector<RowId> ids = session.model().folders.create_folders_from_text(parent, text);
    JsonArray array;
    for (RowId id : ids) {
        if (context.json()) {
            array.add_raw(std::to_string(id));
        } else {
            context.out() << id << "\n";
        }
    }
    if (context.json()) {
        context.out() << array.str() << "\n";
    }
    return session.refused() ? 1 : 0;
}

const Registration registration{
    {"mkdir", kUsage, "Creates folders under PARENT; several titles may be separated by \";\".",
     run_mkdir}};

}  // namespace

}  // namespace tb::cli
