#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tb::cli {

class CliContext;

// An option of a command: "--title" with a value named "T", or a flag when value_name is empty.
struct CommandOption {
    std::string name;
    std::string value_name;
    std::string help;
    // For an option that may take a second value ("--scope below FOLDER"): the first values that
    // take none ("root"). Empty for an option of one value.
    std::vector<std::string> single_values = {};
};

// A command is one small file that registers itself with a static Registration. Its options are
// parsed before it runs; every command also takes --json.
struct Command {
    std::string name;
    std::string usage;
    std::string summary;
    std::function<int(CliContext&)> run;
    std::vector<CommandOption> options = {};
};

const std::vector<Command>& commands();
const Command* find_command(const std::string& name);

struct Registration {
    explicit Registration(Command command);
};

}  // namespace tb::cli
