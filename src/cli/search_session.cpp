#include "cli/search_session.h"

#include <ostream>

#include "cli/json_writer.h"
#include "platform/messages.h"
#include "text/control_chars.h"

namespace tb::cli {

namespace {

bool parse_fields(const std::string& list, SearchQuery& query) {
    query.in_titles = query.in_addresses = query.in_comments = query.in_parent_titles = false;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        end = end == std::string::npos ? list.size() : end;
        const std::string field = list.substr(start, end - start);
        if (field == "titles") {
            query.in_titles = true;
        } else if (field == "addresses") {
            query.in_addresses = true;
        } else if (field == "comments") {
            query.in_comments = true;
        } else if (field == "folders") {
            query.in_parent_titles = true;
        } else {
            return false;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace

SearchSession::SearchSession(CliContext& context) : ModelSession(context) {
    if (ok()) {
        history_.emplace(model().db);
        engine_.emplace(model(), *history_);
    }
}

std::vector<CommandOption> search_options() {
    return {{"--any", "", "any of the words"},
            {"--all", "", "all of the words (the default)"},
            {"--advanced", "", "AND, OR, NOT and parentheses"},
            {"--in", "LIST", "where to look: titles,addresses,comments,folders"},
            {"--scope", "KIND [FOLDER]", "root, below FOLDER or in FOLDER", {"root"}}};
}

std::optional<SearchArgs> parse_search_args(const ParsedArgs& args, std::size_t first_word,
                                            const ModelSession& session, std::string& error) {
    SearchArgs parsed;
    SearchQuery& query = parsed.entered;
    const int modes = args.has("--all") + args.has("--any") + args.has("--advanced");
    if (modes > 1) {
        error = "--any, --all and --advanced exclude each other.";
        return std::nullopt;
    }
    query.match_mode = args.has("--any")        ? kAnyWord
                       : args.has("--advanced") ? kAdvancedQuery
                                                : kAllWords;
    if (const std::string* fields = args.value("--in"); fields && !parse_fields(*fields, query)) {
        error = "--in takes a list of titles, addresses, comments, folders.";
        return std::nullopt;
    }
    if (auto scope = args.values.find("--scope"); scope != args.values.end()) {
        const std::vector<std::string>& values = scope->second;
        const std::string& kind = values.front();
        if (kind == "root" && values.size() == 1) {
            query.folder_scope = kFromRoot;
        } else if ((kind == "below" || kind == "in") && values.size() == 2) {
            auto folder = session.find_folder(values[1]);
            if (!folder) {
                error = "Unknown folder '" + values[1] + "'.";
                return std::nullopt;
            }
            query.folder_scope = kind == "below" ? kFromCurrentFolder : kCurrentFolderOnly;
            parsed.current_folder = *folder;
        } else {
            error = "--scope takes root, below FOLDER or in FOLDER.";
            return std::nullopt;
        }
    }
    if (first_word >= args.positional.size()) {
        error = "A search text is needed.";
        return std::nullopt;
    }
    for (std::size_t i = first_word; i < args.positional.size(); ++i) {
        query.text += (query.text.empty() ? "" : " ") + args.positional[i];
    }
    return parsed;
}

int SearchSession::print_results(int count, bool quiet) {
    CliContext& context = this->context();
    SearchEngine& engine = *engine_;
    if (count < 0 || engine.last_query_invalid()) {
        return 2;
    }
    if (count == 0 && !quiet) {
        context.reporter().report(msg::kNothingFound, {engine.current_query().text});
        return 1;
    }
    const FolderStore& folders = model().folders;
    if (context.json()) {
        JsonArray results;
        for (const Link& link : engine.results()) {
            results.add_raw(JsonObject()
                                .add("id", link.id)
                                .add("title", link.title)
                                .add("url", link.url)
                                .add("comment", link.comment)
                                .add("folder", folders.folder_path(link.parent))
                                .str());
        }
        context.out() << JsonObject()
                             .add("query", engine.current_query().text)
                             .add("count", count)
                             .add_raw("results", results.str())
                             .str()
                      << "\n";
        return 0;
    }
    for (const Link& link : engine.results()) {
        context.out() << link.id << '\t' << escape_control_chars(link.title) << '\t'
                      << escape_control_chars(link.url) << '\t'
                      << escape_control_chars(folders.folder_path(link.parent)) << '\n';
    }
    context.out() << count << (count == 1 ? " link" : " links") << " found.\n";
    return 0;
}

}  // namespace tb::cli
