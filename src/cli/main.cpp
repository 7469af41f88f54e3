#include <curl/curl.h>

#include <csignal>
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
    // Before any thread: curl's global set-up is not thread-safe everywhere, and a peer closing
    // a connection must not kill the process.
    std::signal(SIGPIPE, SIG_IGN);
    curl_global_init(CURL_GLOBAL_DEFAULT);
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
    int code = 0;
    {
        tb::cli::CliContext context(std::move(rest), std::cout, data_dir, json);
        code = command->run(context);
    }
    curl_global_cleanup();
    return code;
}
