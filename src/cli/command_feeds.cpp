#include <ostream>

#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "cli/model_session.h"
#include "feeds/channel_list.h"
#include "feeds/feed_discovery.h"
#include "feeds/feed_parser.h"
#include "feeds/opml.h"
#include "platform/ini_settings_store.h"
#include "platform/log.h"
#include "text/control_chars.h"

namespace tb::cli {

namespace {

const char* state_name(UpdateState state) {
    switch (state) {
        case UpdateState::Updating:
            return "updating";
        case UpdateState::Updated:
            return "updated";
        case UpdateState::DownloadFailed:
            return "download failed";
        case UpdateState::NotUpdated:
            break;
    }
    return "not updated";
}

// The channel list with the XML library around it, torn down in the order the program uses at
// exit: workers joined, own downloads deleted, then the library terminated.
class FeedSession {
public:
    FeedSession(CliContext& context, Database& db, bool with_xml) : reporter_(context.reporter()) {
        xml_ok_ = !with_xml || xml_.initialize(reporter_);
        IniSettingsStore store;
        options_ = download_options(load_settings(store));
        list_ = std::make_unique<ChannelList>(db, xml_, context.data_folder() / "feeds", options_);
        list_->load_channels();
    }
    ~FeedSession() {
        list_->shutdown();
        list_->delete_downloaded_files(reporter_);
        list_.reset();
        xml_.terminate();
    }

    bool xml_ok() const { return xml_ok_; }
    ChannelList& list() { return *list_; }
    const DownloadOptions& options() const { return options_; }

    // Waits for the workers and shows what they reported; failures also go to the log.
    void finish_updates() {
        list_->wait_for_workers();
        for (const FeedEvent& event : list_->events().drain()) {
            if (event.kind == FeedEvent::Kind::Message) {
                reporter_.report(event.message);
            } else if (event.kind == FeedEvent::Kind::StateChanged &&
                       event.state == UpdateState::DownloadFailed) {
                log_append("Newsfeed '" + list_->channel(event.channel_id)->title +
                           "': download failed: " + render(event.message));
            }
        }
    }

private:
    Reporter& reporter_;
    XercesRuntime xml_;
    bool xml_ok_ = false;
    DownloadOptions options_;
    std::unique_ptr<ChannelList> list_;
};

std::string items_json(const std::vector<FeedItem>& items) {
    JsonArray array;
    for (const FeedItem& item : items) {
        array.add_raw(JsonObject()
                          .add("number", item.number)
                          .add("title", item.title)
                          .add("link", item.link)
                          .add("description", item.description)
                          .str());
    }
    return array.str();
}

void print_items(std::ostream& out, const std::vector<FeedItem>& items, const char* indent) {
    for (const FeedItem& item : items) {
        out << indent << item.number << ". " << escape_control_chars(item.title) << "\n"
            << indent << "   " << escape_control_chars(item.link) << "\n";
        if (!item.description.empty()) {
            out << indent << "   " << escape_control_chars(item.description) << "\n";
        }
    }
}

bool parse_number(const std::string& text, RowId& number, RowId smallest) {
    number = parse_id(text);
    return number >= smallest;
}

int run_list(CliContext& context, Database& db) {
    FeedSession session(context, db, false);
    JsonArray json;
    for (const Channel& channel : session.list().channels()) {
        json.add_raw(JsonObject()
                         .add("id", channel.id)
                         .add("title", channel.title)
                         .add("location", channel.location)
                         .str());
        if (!context.json()) {
            context.out() << channel.id << "\t" << escape_control_chars(channel.title) << "\t"
                          << escape_control_chars(channel.location) << "\n";
        }
    }
    if (context.json()) {
        context.out() << json.str() << "\n";
    }
    return 0;
}

int run_add(CliContext& context, Database& db) {
    const auto& args = context.args();
    if (args.size() != 3) {
        return context.fail("usage: feeds add TITLE LOCATION", 2);
    }
    FeedSession session(context, db, true);
    std::string location = args[2];
    // A web page's address stands for the feed the page announces.
    const Discovery found = args[1].empty() || location.empty()
                                ? Discovery{}
                                : discover_feeds(location, session.options());
    if (found.page && found.feeds.empty()) {
        return context.fail(render(no_feed_on_page(location)));
    }
    if (found.page) {
        location = found.feeds.front().location;
        context.reporter().report_text(
            found.feeds.size() == 1
                ? "Subscribing to %2, the newsfeed the page announces."
                : "The page announces %1 newsfeeds; subscribing to the first, %2.",
            {std::to_string(found.feeds.size()), location});
    }
    if (!session.list().add_channel(args[1], location)) {
        return 1;
    }
    context.out() << "Added newsfeed " << db.last_insert_rowid() << ".\n";
    session.finish_updates();
    return 0;
}

int run_remove(CliContext& context, Database& db) {
    const auto& args = context.args();
    RowId id = 0;
    if (args.size() != 2 || !parse_number(args[1], id, 1)) {
        return context.fail("usage: feeds rm ID", 2);
    }
    // Without the XML library the reload after the deletion starts no downloads.
    FeedSession session(context, db, false);
    if (!session.list().channel(id)) {
        return context.fail("No newsfeed with id " + args[1] + ".");
    }
    return session.list().delete_channel(id) ? 0 : 1;
}

int run_update(CliContext& context, Database& db) {
    const auto& args = context.args();
    RowId id = 0;
    if (args.size() > 2 || (args.size() == 2 && !parse_number(args[1], id, 1))) {
        return context.fail("usage: feeds update [ID]", 2);
    }
    FeedSession session(context, db, true);
    if (!session.xml_ok()) {
        return 1;
    }
    if (id != 0 && !session.list().channel(id)) {
        return context.fail("No newsfeed with id " + args[1] + ".");
    }
    if (id != 0) {
        session.list().update_one(id);
    } else {
        session.list().update_all();
    }
    session.finish_updates();
    JsonArray json;
    for (const Channel& channel : session.list().channels()) {
        if (id != 0 && channel.id != id) {
            continue;
        }
        json.add_raw(JsonObject()
                         .add("id", channel.id)
                         .add("title", channel.title)
                         .add("location", channel.location)
                         .add("state", state_name(channel.state))
                         .add("failure", render(channel.failure))
                         .add_raw("items", items_json(channel.items))
                         .str());
        if (!context.json()) {
            const std::string failure = render(channel.failure);
            context.out() << "[" << channel.id << "] " << escape_control_chars(channel.title)
                          << " (" << state_name(channel.state) << (failure.empty() ? "" : ": ")
                          << failure << ")\n";
            print_items(context.out(), channel.items, "    ");
        }
    }
    if (context.json()) {
        context.out() << json.str() << "\n";
    }
    return 0;
}

// Items live only in memory, so the feed is downloaded first; the item is then stored through
// the same checks as the New Link dialog.
int run_store(CliContext& context) {
    const auto& args = context.args();
    RowId id = 0;
    std::int64_t number = 0;
    if (args.size() != 4 || !parse_number(args[1], id, 1) || !parse_number(args[2], number, 0)) {
        return context.fail("usage: feeds store FEED ITEM FOLDER", 2);
    }
    ModelSession links(context);
    if (!links.ok()) {
        return 1;
    }
    const auto folder = links.find_folder(args[3]);
    if (!folder) {
        return context.fail("Unknown folder '" + args[3] + "'.", 2);
    }
    FeedSession session(context, links.model().db, true);
    if (!session.xml_ok()) {
        return 1;
    }
    const auto channel = session.list().channel(id);
    if (!channel) {
        return context.fail("No newsfeed with id " + args[1] + ".");
    }
    session.list().update_one(id);
    session.finish_updates();
    if (session.list().channel(id)->state != UpdateState::Updated) {
        return context.fail("Newsfeed '" + channel->title + "' could not be updated.");
    }
    const auto item = session.list().item(id, number);
    if (!item) {
        return context.fail("Newsfeed '" + channel->title + "' has no item " + args[2] + ".");
    }
    // Journalled like the dialog's links, so the program's Undo can take it back.
    const RowId link = links.model().links.add_new_link(
        {.parent = *folder, .title = item->title, .url = item->link, .comment = item->description});
    if (link == 0) {
        return 1;
    }
    context.out() << "Stored link " << link << ".\n";
    return 0;
}

int run_parse(CliContext& context) {
    const auto& args = context.args();
    if (args.size() != 2) {
        return context.fail("usage: feeds parse FILE", 2);
    }
    XercesRuntime xml;
    if (!xml.initialize(context.reporter())) {
        return 1;
    }
    const std::filesystem::path file = args[1];
    RecordingReporter messages;
    const ParsedFeed feed = parse_feed_document(file, file.filename().string(), messages);
    if (context.json()) {
        JsonArray texts;
        for (const Message& message : messages.messages) {
            texts.add(render(message));
        }
        context.out() << JsonObject()
                             .add("ok", feed.ok)
                             .add_raw("items", items_json(feed.items))
                             .add_raw("messages", texts.str())
                             .str()
                      << "\n";
    } else {
        print_items(context.out(), feed.items, "");
        for (const Message& message : messages.messages) {
            context.reporter().report(message);
        }
    }
    return feed.ok ? 0 : 1;
}

int run_import_opml(CliContext& context, Database& db) {
    const auto& args = context.args();
    if (args.size() != 2) {
        return context.fail("usage: feeds import-opml FILE", 2);
    }
    XercesRuntime xml;
    if (!xml.initialize(context.reporter())) {
        return 1;
    }
    const OpmlList list = read_opml(args[1]);
    xml.terminate();
    if (!list.ok) {
        return context.fail("Cannot import '" + args[1] + "': " + render(list.failure) + ".");
    }
    FeedSession session(context, db, false);
    const auto count = session.list().import_channels(list.feeds);
    context.out() << "Added " << count.added << " newsfeeds, skipped " << count.skipped
                  << " already subscribed.\n";
    return 0;
}

int run_export_opml(CliContext& context, Database& db) {
    const auto& args = context.args();
    if (args.size() != 2) {
        return context.fail("usage: feeds export-opml FILE", 2);
    }
    FeedSession session(context, db, false);
    const auto feeds = session.list().subscriptions();
    if (!write_opml(args[1], feeds)) {
        return context.fail("Cannot write '" + args[1] + "'.");
    }
    context.out() << "Exported " << feeds.size() << " newsfeeds.\n";
    return 0;
}

int run_feeds(CliContext& context) {
    const auto& args = context.args();
    const std::string sub = args.empty() ? std::string() : args[0];
    if (sub == "parse") {
        return run_parse(context);
    }
    if (sub == "store") {
        return run_store(context);
    }
    if (sub != "list" && sub != "add" && sub != "rm" && sub != "update" && sub != "import-opml" &&
        sub != "export-opml") {
        return context.fail(
            "usage: feeds list|add|rm|update|store|parse|import-opml|export-opml ...", 2);
    }
    Database* db = context.database();
    if (db == nullptr) {
        return 1;
    }
    if (sub == "list") {
        return run_list(context, *db);
    }
    if (sub == "add") {
        return run_add(context, *db);
    }
    if (sub == "import-opml") {
        return run_import_opml(context, *db);
    }
    if (sub == "export-opml") {
        return run_export_opml(context, *db);
    }
    return sub == "rm" ? run_remove(context, *db) : run_update(context, *db);
}

const Registration feeds{
    {"feeds",
     "feeds list | add TITLE LOCATION | rm ID | update [ID] | store FEED ITEM FOLDER | parse FILE"
     " | import-opml FILE | export-opml FILE  [--json]",
     "Lists, adds, removes and updates newsfeeds, stores a feed's item as a link in a folder "
     "(\"/A/B\" or id), parses a local feed document (RSS, RDF or Atom), or imports and exports "
     "the subscriptions as an OPML list.",
     run_feeds}};

}  // namespace

}  // namespace tb::cli
