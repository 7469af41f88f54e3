#include "cli/search_session.h"

#include <ostream>

#include "cli/json_writer.h"
#include "platform/messages.h"
#include "text/control_chars.h"

namespace tb::cli {

namespace {

constexpr std::size_t kOutputBlock = 1 << 16;

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
    if (!(context.json() ? print_json(count) : print_rows(count))) {
        return 1;
    }
    return 0;
}

bool SearchSession::print_rows(int count) {
    std::ostream& out = context().out();
    FolderPaths paths(model().folders, escape_control_chars);
    // Rows go out in blocks of about kOutputBlock bytes rather than one write each.
    std::string rows;
    auto write_rows = [&] {
        out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
        rows.clear();
    };
    const bool read = engine_->visit_results(
        [&](const Link& link) {
            rows += std::to_string(link.id);
            rows += '\t';
            append_escaped_control_chars(rows, link.title);
            rows += '\t';
            append_escaped_control_chars(rows, link.url);
            rows += '\t';
            rows += paths.of(link.parent);
            rows += '\n';
            if (rows.size() >= kOutputBlock) {
                write_rows();
            }
        },
        LinkStore::Order::Id, LinkStore::Flag::Skip);
    write_rows();
    if (read) {
        out << count << (count == 1 ? " link" : " links") << " found.\n";
    }
    return read;
}

bool SearchSession::print_json(int count) {
    std::ostream& out = context().out();
    FolderPaths paths(model().folders, json_quote);
    out << JsonObject()
               .add("query", engine_->current_query().text)
               .add("count", count)
               .open_str("results")
        << '[';
    const char* separator = "";
    const bool read = engine_->visit_results(
        [&](const Link& link) {
            out << separator
                << JsonObject()
                       .add("id", link.id)
                       .add("title", link.title)
                       .add("url", link.url)
                       .add("comment", link.comment)
                       .add_raw("folder", paths.of(link.parent))
                       .str();
            separator = ",";
        },
        LinkStore::Order::Id, LinkStore::Flag::Skip);
    out << "]}\n";
    return read;
}

FolderPaths::FolderPaths(const FolderStore& folders, std::string (*form)(std::string_view))
    : folders_(folders), form_(form) {}

const std::string& FolderPaths::of(RowId folder) {
    auto [at, added] = formed_.try_emplace(folder);
    if (added) {
        at->second = form_(folders_.folder_path(folder));
    }
    return at->second;
}

}  // namespace tb::cli
