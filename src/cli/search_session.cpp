#include "cli/search_session.h"

#include <ostream>

#include "cli/json_writer.h"
#include "platform/strings.h"
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

std::optional<SearchArgs> parse_search_args(const std::vector<std::string>& args,
                                            const ModelSession& session, std::string& error) {
    SearchArgs parsed;
    SearchQuery& query = parsed.entered;
    std::vector<std::string> words;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool has_value = i + 1 < args.size();
        if (arg == "--all" || arg == "--any" || arg == "--advanced") {
            query.match_mode = arg == "--all"   ? kAllWords
                               : arg == "--any" ? kAnyWord
                                                : kAdvancedQuery;
        } else if (arg == "--in") {
            if (!has_value || !parse_fields(args[++i], query)) {
                error = "--in takes a list of titles, addresses, comments, folders.";
                return std::nullopt;
            }
        } else if (arg == "--scope") {
            const std::string kind = has_value ? args[++i] : std::string();
            if (kind == "root") {
                query.folder_scope = kFromRoot;
                continue;
            }
            if ((kind != "below" && kind != "in") || i + 1 >= args.size()) {
                error = "--scope takes root, below FOLDER or in FOLDER.";
                return std::nullopt;
            }
            const std::string& name = args[++i];
            auto folder = session.find_folder(name);
            if (!folder) {
                error = "Unknown folder '" + name + "'.";
                return std::nullopt;
            }
            query.folder_scope = kind == "below" ? kFromCurrentFolder : kCurrentFolderOnly;
            parsed.current_folder = *folder;
        } else if (arg.rfind("--", 0) == 0) {
            error = "Unknown option '" + arg + "'.";
            return std::nullopt;
        } else {
            words.push_back(arg);
        }
    }
    if (words.empty()) {
        error = "A search text is needed.";
        return std::nullopt;
    }
    for (const std::string& word : words) {
        query.text += (query.text.empty() ? "" : " ") + word;
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
