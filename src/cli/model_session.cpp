#include "cli/model_session.h"

#include <charconv>
#include <ostream>

#include "cli/json_writer.h"
#include "platform/ini_settings_store.h"
#include "text/control_chars.h"
#include "text/time_format.h"

namespace tb::cli {

StatisticsOptions statistics_options() {
    IniSettingsStore store;
    return tb::statistics_options(load_settings(store));
}

int fail_usage(CliContext& context, const std::string& usage) {
    return context.fail("usage: " + usage, 2);
}

RowId parse_id(const std::string& text) {
    RowId id = -1;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, id);
    const bool whole = !text.empty() && text.front() != '-' && stop == end;
    return whole && error == std::errc() ? id : -1;
}

std::string time_text(std::int64_t seconds) {
    if (seconds == 0) {
        return "never";
    }
    std::string text = format_local_time(seconds, "%Y-%m-%d %H:%M:%S");
    return text.empty() ? std::to_string(seconds) : text;
}

ModelSession::ModelSession(CliContext& context) : context_(context) {
    Database* db = context.database();
    if (db == nullptr) {
        return;
    }
    model_ = std::make_unique<Model>(*db);
    model_->load();
    model_->journal.set_enabled(true);
    mark();
}

std::optional<RowId> ModelSession::find_folder(const std::string& name) const {
    const FolderStore& folders = model_->folders;
    if (RowId id = parse_id(name); id >= 0) {
        return folders.find(id) != nullptr ? std::optional<RowId>(id) : std::nullopt;
    }
    const Folder* folder = folders.find_by_path(name);
    return folder != nullptr ? std::optional<RowId>(folder->id) : std::nullopt;
}

RowId ModelSession::resolve_folder(const std::string& name) {
    if (std::optional<RowId> id = find_folder(name)) {
        return *id;
    }
    context_.reporter().report_text("No folder '" + name + "'.");
    return 0;
}

std::optional<Link> ModelSession::resolve_link(const std::string& id_text) {
    std::optional<Link> link = model_->links.find(parse_id(id_text));
    if (!link) {
        context_.reporter().report_text("No link '" + id_text + "'.");
    }
    return link;
}

void ModelSession::print_links(const std::vector<Link>& links) {
    std::ostream& out = context_.out();
    if (context_.json()) {
        JsonArray array;
        for (const Link& link : links) {
            JsonObject object;
            object.add("id", link.id)
                .add("title", link.title)
                .add("url", link.url)
                .add("comment", link.comment)
                .add("folder", link.parent)
                .add("visits", link.visits)
                .add("last_visit", link.last_visit)
                .add("has_duplicates", link.has_duplicates);
            array.add_raw(object.str());
        }
        out << array.str() << "\n";
        return;
    }
    for (const Link& link : links) {
        out << link.id << '\t' << escape_control_chars(link.title) << '\t'
            << escape_control_chars(link.url) << '\t' << escape_control_chars(link.comment) << '\t'
            << link.visits << '\t' << time_text(link.last_visit) << '\t'
            << (link.has_duplicates ? "duplicates" : "-") << "\n";
    }
}

int run_on_model(CliContext& context, const std::string& usage,
                 const std::function<int(ModelSession&)>& body) {
    if (!context.args().empty()) {
        return context.fail("usage: " + usage, 2);
    }
    ModelSession session(context);
    return session.ok() ? body(session) : 1;
}

int run_on_link(CliContext& context, const std::string& usage,
                const std::function<int(ModelSession&, const Link&)>& body) {
    if (context.args().size() != 1) {
        return context.fail("usage: " + usage, 2);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    const std::optional<Link> link = session.resolve_link(context.args()[0]);
    return link ? body(session, *link) : 1;
}

}  // namespace tb::cli
