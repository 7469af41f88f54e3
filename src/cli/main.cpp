#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "cli/command_registry.h"

namespace {

void print_usage(std::ostream& out) {
    out << "usage: tagberry-cli [--data-dir DIR] [--json] COMMAND [ARGS...]\n\ncommands:\n";
    for (const auto& command : tb::cli::commands()) {
        out << "  " << command.usage << "\n      " << command.summary << "\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<std::filesystem::path> data_dir;
    bool json = false;
    std::vector<std::string> rest;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--data-dir" && i + 1 < argc) {
            data_dir = argv[++i];
        } else if (arg == "--json") {
            json = true;
        } else if (arg == "--help" || arg == "-h") {
            print_usage(std::cout);
            return 0;
        } else {
            rest.push_back(arg);
        }
    }
    if (rest.empty()) {
        print_usage(std::cerr);
        return 2;
    }
    const tb::cli::Command* command = tb::cli::find_command(rest.front());
    if (command == nullptr) {
        std::cerr << "Unknown command '" << rest.front() << "'.\n";
        print_usage(std::cerr);
        return 2;
    }
    rest.erase(rest.begin());
    tb::cli::CliContext context(std::move(rest), std::cout, data_dir, json);
    return command->run(context);
}
