#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tb::cli {

class CliContext;

// A command is one small file that registers itself with a static Registration.
struct Command {
    std::string name;
    std::string usage;
    std::string summary;
    std::function<int(CliContext&)> run;
};

const std::vector<Command>& commands();
const Command* find_command(const std::string& name);

struct Registration {
    explicit Registration(Command command);
};

}  // namespace tb::cli
