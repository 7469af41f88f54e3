#include "cli/model_session.h"

#include <ctime>
#include <ostream>

#include "cli/json_writer.h"
#include "platform/ini_settings_store.h"

namespace tb::cli {

StatisticsOptions statistics_options() {
    IniSettingsStore store;
    return tb::statistics_options(load_settings(store));
}

const std::string* ParsedArgs::value(const std::string& option) const {
    auto it = values.find(option);
    return it == values.end() ? nullptr : &it->second;
}

ParsedArgs parse_args(const std::vector<std::string>& args,
                      const std::set<std::string>& value_options,
                      const std::set<std::string>& flag_options) {
    ParsedArgs parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            parsed.positional.push_back(arg);
        } else if (value_options.contains(arg)) {
            if (i + 1 == args.size()) {
                parsed.error = "Option " + arg + " needs a value.";
                return parsed;
            }
            parsed.values[arg] = args[++i];
        } else if (flag_options.contains(arg)) {
            parsed.flags.insert(arg);
        } else {
            parsed.error = "Unknown option " + arg + ".";
            return parsed;
        }
    }
    return parsed;
}

int parse_id(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return -1;
    }
    return std::stoi(text);
}

std::string time_text(std::int64_t seconds) {
    if (seconds == 0) {
        return "never";
    }
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    char buffer[64];
    if (localtime_r(&t, &local) == nullptr ||
        std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local) == 0) {
        return std::to_string(seconds);
    }
    return buffer;
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

int ModelSession::resolve_folder(const std::string& name) {
    FolderStore& folders = model_->folders;
    if (int id = parse_id(name); id > 0) {
        if (folders.find(id) != nullptr) {
            return id;
        }
    } else if (!name.empty() && name[0] == '/') {
        int at = kRootFolder;
        size_t start = 1;
        while (at != 0 && start < name.size()) {
            size_t end = name.find('/', start);
            std::string title = name.substr(start, end == std::string::npos ? end : end - start);
            start = end == std::string::npos ? name.size() : end + 1;
            int next = 0;
            for (const Folder* child : folders.children(at)) {
                if (child->title == title) {
                    next = child->id;
                    break;
                }
            }
            at = next;
        }
        if (at != 0) {
            return at;
        }
    }
    context_.reporter().report_text("No folder '" + name + "'.");
    return 0;
}

const Link* ModelSession::resolve_link(const std::string& id_text) {
    const Link* link = model_->links.find(parse_id(id_text));
    if (link == nullptr) {
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
        out << link.id << '\t' << link.title << '\t' << link.url << '\t' << link.comment << '\t'
            << link.visits << '\t' << time_text(link.last_visit) << '\t'
            << (link.has_duplicates ? "duplicates" : "-") << "\n";
    }
}

}  // namespace tb::cli
