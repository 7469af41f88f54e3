#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cli/command_registry.h"
#include "cli/model_session.h"
#include "search/query_history.h"
#include "search/search_engine.h"

namespace tb::cli {

// The model session with the query history and the search engine over it.
class SearchSession : public ModelSession {
public:
    explicit SearchSession(CliContext& context);

    QueryHistory& history() { return *history_; }
    SearchEngine& engine() { return *engine_; }

    // Prints the results of a search that returned `count`, each link as it is read. Exit code:
    // 2 for an invalid query, 1 after "Nothing found for '%1'!" when an empty result is not quiet
    // or after a failed read, else 0.
    int print_results(int count, bool quiet);

private:
    bool print_rows(int count);
    bool print_json(int count);

    std::optional<QueryHistory> history_;
    std::optional<SearchEngine> engine_;
};

// Each folder's path as printed, worked out once however many links it holds.
class FolderPaths {
public:
    FolderPaths(const FolderStore& folders, std::string (*form)(std::string_view));
    const std::string& of(RowId folder);

private:
    const FolderStore& folders_;
    std::string (*form_)(std::string_view);
    std::unordered_map<RowId, std::string> formed_;
};

// The Find dialog's input as given on the command line.
struct SearchArgs {
    SearchQuery entered;
    RowId current_folder = kRootFolder;
};

// The options of a search: --any | --all | --advanced, --in LIST, --scope root | below FOLDER |
// in FOLDER.
std::vector<CommandOption> search_options();

// The search options given and TEXT, the positionals from `first_word` on (the words of TEXT may
// come as several arguments). No value, with `error` set, on bad usage.
std::optional<SearchArgs> parse_search_args(const ParsedArgs& args, std::size_t first_word,
                                            const ModelSession& session, std::string& error);

}  // namespace tb::cli
