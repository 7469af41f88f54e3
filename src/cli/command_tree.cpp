#include <ostream>

#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "cli/model_session.h"
#include "text/control_chars.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "tree [--json]";

// Depth first, children by title, so that the output reads like the tree.
void print_folder(CliContext& context, const FolderStore& folders, RowId id, JsonArray& array) {
    const Folder* folder = folders.find(id);
    if (folder == nullptr) {
        return;
    }
    const std::string path = folders.folder_path(id);
    if (context.json()) {
        array.add_raw(JsonObject()
                          .add("id", folder->id)
                          .add("level", folder->level)
                          .add("path", path)
                          .add("parent", folder->parent)
                          .add("protected", folder->is_protected)
                          .str());
    } else {
        context.out() << folder->id << '\t' << folder->level << '\t' << escape_control_chars(path)
                      << (folder->is_protected ? "\t(protected)" : "") << "\n";
    }
    for (const Folder* child : folders.children(id)) {
        print_folder(context, folders, child->id, array);
    }
}

int run_tree(CliContext& context) {
    const ParsedArgs& args = context.parsed();
    if (!args.positional.empty()) {
        return context.fail("usage: " + std::string(kUsage), 2);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    FolderStore& folders = session.model().folders;
    JsonArray array;
    print_folder(context, folders, kRootFolder, array);
    if (context.json()) {
        context.out() << array.str() << "\n";
    }
    return 0;
}

const Registration registration{
    {"tree", kUsage, "Lists every live folder with its id, level and full name.", run_tree}};

}  // namespace

}  // namespace tb::cli
