#include <curl/curl.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <csignal>
#include <iostream>
#include <list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "cli/command_registry.h"

namespace tb::cli {

namespace {

constexpr int kUsageError = 2;
const std::string kJsonFlag = "--json";
const std::string kJsonHelp = "prints the result as JSON";

// One command as the parser knows it, with the places its arguments are parsed into.
struct Subcommand {
    const Command* command = nullptr;
    CLI::App* app = nullptr;
    CLI::Option* positional_option = nullptr;
    std::vector<std::string> positional;
    std::map<std::string, std::vector<std::string>> values;
    std::map<std::string, CLI::Option*> flags;
    CLI::Option* json = nullptr;
};

std::string command_list() {
    std::string text = "Commands and their arguments:\n";
    for (const Command& command : commands()) {
        text += "  " + command.usage + "\n";
    }
    return text;
}

void add_option(Subcommand& sub, const CommandOption& option) {
    if (option.value_name.empty()) {
        sub.flags[option.name] = sub.app->add_flag(option.name, option.help);
        return;
    }
    CLI::Option* added = sub.app->add_option(option.name, sub.values[option.name], option.help)
                             ->type_name(option.value_name);
    if (option.single_values.empty()) {
        // One value per use, so that positionals after it stay positionals; every use is kept
        // for collect(), and the last one counts.
        added->expected(1)->allow_extra_args(false)->multi_option_policy(
            CLI::MultiOptionPolicy::TakeAll);
    } else {
        added->expected(1, 2)->allow_extra_args(false);
    }
}

void add_subcommand(CLI::App& app, Subcommand& sub, const Command& command) {
    sub.command = &command;
    sub.app = app.add_subcommand(command.name, command.summary);
    sub.app->footer("usage: " + command.usage);
    sub.positional_option = sub.app->add_option("args", sub.positional, "the arguments");
    sub.json = sub.app->add_flag(kJsonFlag, kJsonHelp);
    for (const CommandOption& option : command.options) {
        add_option(sub, option);
    }
}

// An option of two values whose first one takes no second ("--scope root") may have taken a
// positional that followed it; the positional goes back to its place among the others.
ParsedArgs collect(Subcommand& sub) {
    ParsedArgs parsed;
    std::size_t next_positional = 0;
    std::map<std::string, std::size_t> values_seen;
    for (const CLI::Option* option : sub.app->parse_order()) {
        if (option == sub.positional_option) {
            parsed.positional.push_back(sub.positional[next_positional++]);
            continue;
        }
        const std::string name = "--" + option->get_single_name();
        auto declared = std::find_if(sub.command->options.begin(), sub.command->options.end(),
                                     [&](const CommandOption& o) { return o.name == name; });
        if (declared == sub.command->options.end() || declared->value_name.empty()) {
            continue;
        }
        const std::vector<std::string>& given = sub.values[name];
        const std::size_t index = values_seen[name]++;
        const bool single =
            index > 0 && std::find(declared->single_values.begin(), declared->single_values.end(),
                                   given[index - 1]) != declared->single_values.end();
        if (single) {
            parsed.positional.push_back(given[index]);
        } else {
            parsed.values[name].push_back(given[index]);
        }
    }
    for (const auto& [name, option] : sub.flags) {
        if (option->count() > 0) {
            parsed.flags.insert(name);
        }
    }
    return parsed;
}

// The command's name: the first argument that is neither a global option nor its value.
std::vector<std::string>::iterator command_word(std::vector<std::string>& args) {
    auto word = args.begin() + 1;
    while (word != args.end() && word->starts_with("-")) {
        word += *word == "--data-dir" && word + 1 != args.end() ? 2 : 1;
    }
    return word;
}

// The arguments after the "--" that ends a command's options, which the parser is not shown: it
// would take that "--" as the end of the command. A "--" that is an option's value stays.
std::vector<std::string> split_off_after_options(std::vector<std::string>& args) {
    auto word = command_word(args);
    const Command* command = word == args.end() ? nullptr : find_command(*word);
    if (command == nullptr) {
        return {};
    }
    for (auto arg = word + 1; arg != args.end(); ++arg) {
        if (*arg == "--") {
            std::vector<std::string> rest(arg + 1, args.end());
            args.erase(arg, args.end());
            return rest;
        }
        const bool takes_value = std::any_of(
            command->options.begin(), command->options.end(),
            [&](const CommandOption& o) { return o.name == *arg && !o.value_name.empty(); });
        if (takes_value && arg + 1 != args.end()) {
            ++arg;
        }
    }
    return {};
}

int run(std::vector<std::string> args) {
    CLI::App app("Works on Tagberry's bookmarks like the program does.", "tagberry-cli");
    std::optional<std::filesystem::path> data_dir;
    app.add_option("--data-dir", data_dir, "the data folder (as TAGBERRY_DATA_DIR)")
        ->type_name("DIR");
    CLI::Option* json = app.add_flag(kJsonFlag, kJsonHelp);
    app.require_subcommand(1);
    app.footer(command_list());
    std::list<Subcommand> subcommands;
    for (const Command& command : commands()) {
        add_subcommand(app, subcommands.emplace_back(), command);
    }
    if (auto word = command_word(args); word != args.end() && find_command(*word) == nullptr) {
        std::cerr << "Unknown command '" << *word << "'. Run with --help for the commands.\n";
        return kUsageError;
    }
    const std::vector<std::string> after_options = split_off_after_options(args);
    std::reverse(args.begin(), args.end());
    args.pop_back();
    try {
        // CLI11 takes the arguments reversed, without the program's name.
        app.parse(args);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : kUsageError;
    }
    auto chosen = std::find_if(subcommands.begin(), subcommands.end(),
                               [](const Subcommand& sub) { return sub.app->parsed(); });
    ParsedArgs parsed = collect(*chosen);
    parsed.positional.insert(parsed.positional.end(), after_options.begin(), after_options.end());
    CliContext context(std::move(parsed), std::cout, data_dir,
                       json->count() > 0 || chosen->json->count() > 0);
    return chosen->command->run(context);
}

}  // namespace

}  // namespace tb::cli

int main(int argc, char** argv) {
    // Before any thread: curl's global set-up is not thread-safe everywhere, and a peer closing
    // a connection must not kill the process.
    std::signal(SIGPIPE, SIG_IGN);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    const int code = tb::cli::run(std::vector<std::string>(argv, argv + argc));
    curl_global_cleanup();
    return code;
}
