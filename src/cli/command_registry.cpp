#include "cli/command_registry.h"

#include <algorithm>

namespace tb::cli {

namespace {

std::vector<Command>& registry() {
    static std::vector<Command> all;
    return all;
}

}  // namespace

const std::vector<Command>& commands() {
    return registry();
}

const Command* find_command(const std::string& name) {
    auto& all = registry();
    auto it =
        std::find_if(all.begin(), all.end(), [&](const Command& c) { return c.name == name; });
    return it == all.end() ? nullptr : &*it;
}

Registration::Registration(Command command) {
    auto& all = registry();
    auto at = std::lower_bound(all.begin(), all.end(), command.name,
                               [](const Command& c, const std::string& n) { return c.name < n; });
    all.insert(at, std::move(command));
}

}  // namespace tb::cli
