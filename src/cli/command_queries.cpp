#include <ostream>

#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "cli/search_session.h"
#include "text/control_chars.h"

namespace tb::cli {

namespace {

std::string fields_of(const SearchQuery& query) {
    std::string fields;
    auto add = [&fields](bool on, const char* name) {
        if (on) {
            fields += (fields.empty() ? "" : ",") + std::string(name);
        }
    };
    add(query.in_titles, "titles");
    add(query.in_addresses, "addresses");
    add(query.in_comments, "comments");
    add(query.in_parent_titles, "folders");
    return fields;
}

int run_queries(CliContext& context) {
    const bool clear = context.parsed().has("--clear");
    if (!context.args().empty()) {
        return context.fail("usage: queries [--clear]", 2);
    }
    SearchSession session(context);
    if (!session.ok()) {
        return 1;
    }
    QueryHistory& history = session.history();
    if (clear) {
        return history.clear() ? 0 : 1;
    }
    history.load_query_history();
    JsonArray json;
    for (size_t i = 0; i < history.list().size(); ++i) {
        const SearchQuery& query = history.list()[i];
        if (context.json()) {
            json.add_raw(JsonObject()
                             .add("number", static_cast<int>(i + 1))
                             .add("text", query.text)
                             .add("in", fields_of(query))
                             .str());
        } else {
            context.out() << i + 1 << '\t' << escape_control_chars(query.text) << '\t'
                          << fields_of(query) << '\n';
        }
    }
    if (context.json()) {
        context.out() << json.str() << '\n';
    }
    return 0;
}

const Registration queries{{"queries",
                            "queries [--clear] [--json]",
                            "Lists the saved queries, oldest first and numbered for rerun; "
                            "--clear deletes them all.",
                            run_queries,
                            {{"--clear", "", "deletes the saved queries"}}}};

}  // namespace

}  // namespace tb::cli
