#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "model/model.h"
#include "search/query_history.h"
#include "search/search_engine.h"

namespace tb::cli {

// The model, the query history and the search engine over the tool's database.
class SearchSession {
public:
    // Opens the database and loads the model; null after a message when it cannot be opened.
    static std::unique_ptr<SearchSession> open(CliContext& context);

    explicit SearchSession(Database& db) : model(db), history(db), engine(model, history) {}

    Model model;
    QueryHistory history;
    SearchEngine engine;
};

// A folder given by its full name ("/", "/News/Linux") or by its id; no value when unknown.
std::optional<int> resolve_folder(const Model& model, const std::string& name);

// The Find dialog's input as given on the command line.
struct SearchArgs {
    SearchQuery entered;
    int current_folder = kRootFolder;
};

// TEXT [--any | --all | --advanced] [--in LIST] [--scope root | below FOLDER | in FOLDER];
// the words of TEXT may come as several arguments. No value, with `error` set, on bad usage.
std::optional<SearchArgs> parse_search_args(const std::vector<std::string>& args,
                                            const Model& model, std::string& error);

// Prints the results of a search that returned `count`. Exit code: 2 for an invalid query,
// 1 after "Nothing found for '%1'!" when an empty result is not quiet, else 0.
int print_search_results(CliContext& context, SearchSession& session, int count, bool quiet);

}  // namespace tb::cli
