#include "feeds/channel_list.h"

#include <sqlite3.h>

#include <algorithm>
#include <exception>
#include <system_error>
#include <utility>

#include "platform/log.h"
#include "platform/messages.h"
#include "text/temp_files.h"
#include "text/time_format.h"

namespace tb {

namespace {

std::vector<FeedLinkRow> links_of(const std::vector<FeedItem>& items) {
    std::vector<FeedLinkRow> links;
    links.reserve(items.size());
    for (const FeedItem& item : items) {
        links.push_back({item.number, item.title, item.link, item.description, kNewsfeedsFolder});
    }
    return links;
}

// The reason of a parse that failed without a message of its own.
constexpr const char* kNotParsed = TB_TRANSLATE_NOOP("Strings", "the document could not be read");

FeedEvent state_event(RowId id, UpdateState state, Message failure = {}) {
    FeedEvent event;
    event.kind = FeedEvent::Kind::StateChanged;
    event.channel_id = id;
    event.state = state;
    event.message = std::move(failure);
    return event;
}

// An exception's text as a feed's failure reason.
Message worker_failure(const std::string& what) {
    return Message::plain(TB_TRANSLATE_NOOP("Strings", "the update stopped: %1"), {what});
}

std::string local_time(std::chrono::system_clock::time_point when) {
    return format_local_time(std::chrono::system_clock::to_time_t(when), kLogTimeFormat);
}

}  // namespace

ChannelList::ChannelList(Database& db, const XercesRuntime& xml, std::filesystem::path feeds_folder,
                         DownloadOptions options, std::size_t workers)
    : db_(db),
      xml_(xml),
      folder_(std::move(feeds_folder)),
      options_(options),
      pool_(workers, [this](const std::string& what) {
          FeedEvent event;
          event.kind = FeedEvent::Kind::Message;
          event.message = worker_failure(what);
          events_.push(std::move(event));
      }) {
    // Downloads a killed update left; a younger one may be another process's, still being read.
    remove_stale_temp_files(folder_);
}

ChannelList::~ChannelList() {
    shutdown();
}

Channel* ChannelList::find(RowId id) {
    auto it = std::find_if(channels_.begin(), channels_.end(),
                           [id](const Channel& channel) { return channel.id == id; });
    return it == channels_.end() ? nullptr : &*it;
}

const Channel* ChannelList::find(RowId id) const {
    return const_cast<ChannelList*>(this)->find(id);
}

std::optional<std::vector<Channel>> ChannelList::read_rows() {
    auto stmt = db_.prepare("SELECT * FROM tb_channels");
    if (!stmt) {
        return std::nullopt;
    }
    std::vector<Channel> loaded;
    while (stmt->step() == Step::Row) {
        Channel channel;
        channel.id = stmt->int64(0);
        channel.title = stmt->text(1);
        channel.location = stmt->text(2);
        loaded.push_back(std::move(channel));
    }
    if (stmt->failed()) {
        return std::nullopt;
    }
    return loaded;
}

bool ChannelList::load_channels() {
    auto rows = read_rows();
    if (!rows) {
        return false;
    }
    std::vector<Channel> loaded = std::move(*rows);
    std::lock_guard lock(mutex_);
    for (Channel& channel : loaded) {
        if (running_.count(channel.id) != 0) {
            channel.state = UpdateState::Updating;
        }
        // A server's request to wait outlives the items.
        if (const Channel* old = find(channel.id)) {
            channel.retry_not_before = old->retry_not_before;
        }
    }
    channels_ = std::move(loaded);
    return true;
}

bool ChannelList::reload_changed_channels() {
    auto rows = read_rows();
    if (!rows) {
        return false;
    }
    std::vector<Channel> loaded = std::move(*rows);
    std::lock_guard lock(mutex_);
    auto same_row = [](const Channel& a, const Channel& b) {
        return a.id == b.id && a.title == b.title && a.location == b.location;
    };
    if (std::equal(loaded.begin(), loaded.end(), channels_.begin(), channels_.end(), same_row)) {
        return false;
    }
    for (Channel& channel : loaded) {
        auto kept = std::find_if(channels_.begin(), channels_.end(),
                                 [&](const Channel& old) { return same_row(old, channel); });
        if (kept != channels_.end()) {
            channel = std::move(*kept);
        } else if (running_.count(channel.id) != 0) {
            channel.state = UpdateState::Updating;
        }
    }
    channels_ = std::move(loaded);
    return true;
}

bool ChannelList::add_channel(const std::string& title, const std::string& location) {
    if (title.empty() || location.empty()) {
        db_.reporter().report(msg::kNewsfeedFieldsEmpty);
        return false;
    }
    if (!db_.easy_query("INSERT INTO tb_channels (title, location) VALUES (?, ?)",
                        {title, location})) {
        return false;
    }
    load_channels();
    update_all();
    return true;
}

ChannelList::ImportCount ChannelList::import_channels(const std::vector<OpmlFeed>& feeds) {
    std::set<std::string> known;
    for (const OpmlFeed& feed : subscriptions()) {
        known.insert(feed.location);
    }
    ImportCount count;
    for (const OpmlFeed& feed : feeds) {
        if (!known.insert(feed.location).second) {
            ++count.skipped;
            continue;
        }
        auto insert = db_.prepare("INSERT INTO tb_channels (title, location) VALUES (?1, ?2)");
        if (!insert) {
            break;
        }
        sqlite3_bind_text(insert->get(), 1, feed.title.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert->get(), 2, feed.location.c_str(), -1, SQLITE_TRANSIENT);
        // A failed insert is reported by the statement; it must not count as added.
        if (insert->step() != Step::Done) {
            break;
        }
        ++count.added;
    }
    load_channels();
    return count;
}

std::vector<OpmlFeed> ChannelList::subscriptions() const {
    std::lock_guard lock(mutex_);
    std::vector<OpmlFeed> feeds;
    for (const Channel& channel : channels_) {
        feeds.push_back({channel.title, channel.location});
    }
    return feeds;
}

bool ChannelList::delete_channel(RowId id) {
    if (!db_.easy_query("DELETE FROM tb_channels WHERE id = ?", {id})) {
        return false;
    }
    load_channels();
    update_all();
    return true;
}

bool ChannelList::remove_channels(const std::vector<RowId>& ids) {
    Transaction transaction(db_);
    bool ok = true;
    for (size_t i = 0; ok && i < ids.size(); ++i) {
        ok = db_.easy_query("DELETE FROM tb_channels WHERE id = ?", {ids[i]});
    }
    ok = ok && transaction.commit();
    load_channels();
    return ok;
}

void ChannelList::update_all(UpdateTrigger trigger) {
    std::vector<RowId> ids;
    {
        std::lock_guard lock(mutex_);
        for (const Channel& channel : channels_) {
            ids.push_back(channel.id);
        }
    }
    for (RowId id : ids) {
        update_one(id, trigger);
    }
}

bool ChannelList::update_one(RowId id, UpdateTrigger trigger) {
    if (!xml_.available() || abort_) {
        return false;
    }
    Request request;
    {
        std::lock_guard lock(mutex_);
        Channel* channel = find(id);
        if (channel == nullptr ||
            (trigger == UpdateTrigger::Timer &&
             std::chrono::system_clock::now() < channel->retry_not_before) ||
            !running_.insert(id).second) {
            return false;
        }
        channel->state = UpdateState::Updating;
        request = {id, channel->title, channel->location, channel->validators};
    }
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored);
    events_.push(state_event(id, UpdateState::Updating));
    start_worker(std::move(request));
    return true;
}

void ChannelList::start_worker(Request request) {
    const RowId id = request.id;
    if (!pool_.post([this, request = std::move(request)] { run_guarded(request); })) {
        std::lock_guard lock(mutex_);
        running_.erase(id);
    }
}

void ChannelList::run_guarded(const Request& request) {
    try {
        run_update(request);
    } catch (const std::exception& exception) {
        fail(request.id, worker_failure(exception.what()));
    } catch (...) {
        fail(request.id, worker_failure(kUnknownException));
    }
    std::lock_guard lock(mutex_);
    running_.erase(request.id);
}

void ChannelList::run_update(const Request& request) {
    const Download download =
        download_feed(request.location, folder_, options_, &abort_, request.validators);
    if (download.result == DownloadResult::NotModified) {
        keep_items(request.id);
        return;
    }
    if (download.result != DownloadResult::Ok) {
        fail(request.id, download.failure, download.status, download.retry_after_seconds);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        downloaded_.push_back(download.file);
    }
    finish_update(request, download);
}

void ChannelList::finish_update(const Request& request, const Download& download) {
    const RowId id = request.id;
    QueueReporter reporter(events_, id);
    ParsedFeed feed;
    try {
        feed = parse_feed_document(download.file, request.title, reporter, download.address);
    } catch (...) {
        reporter.report_text(TB_TRANSLATE_NOOP("Strings", "InitXMLParsing() failed."));
    }
    if (!feed.ok) {
        fail(id, feed.failure.text.empty() ? Message::plain(kNotParsed) : feed.failure);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        Channel* channel = find(id);
        if (channel == nullptr) {
            return;
        }
        channel->links = links_of(feed.items);
        channel->items = std::move(feed.items);
        channel->state = UpdateState::Updated;
        channel->failure = {};
        channel->validators = download.validators;
    }
    events_.push(state_event(id, UpdateState::Updated));
    FeedEvent changed;
    changed.kind = FeedEvent::Kind::ItemsChanged;
    changed.channel_id = id;
    events_.push(std::move(changed));
}

void ChannelList::keep_items(RowId id) {
    {
        std::lock_guard lock(mutex_);
        Channel* channel = find(id);
        if (channel == nullptr) {
            return;
        }
        channel->state = UpdateState::Updated;
        channel->failure = {};
    }
    events_.push(state_event(id, UpdateState::Updated));
}

void ChannelList::fail(RowId id, Message reason, long status, std::int64_t retry_after_seconds) {
    if (retry_after_seconds > 0) {
        const auto until =
            std::chrono::system_clock::now() + std::chrono::seconds(retry_after_seconds);
        // One template with the status as an argument, so that it is translated whole.
        reason = Message::of(msg::kServerAsksToWait, {std::to_string(status), local_time(until)});
        std::lock_guard lock(mutex_);
        if (Channel* channel = find(id)) {
            channel->retry_not_before = until;
        }
    }
    {
        std::lock_guard lock(mutex_);
        Channel* channel = find(id);
        if (channel == nullptr) {
            return;
        }
        channel->state = UpdateState::DownloadFailed;
        channel->failure = reason;
    }
    events_.push(state_event(id, UpdateState::DownloadFailed, std::move(reason)));
}

void ChannelList::wait_for_workers() {
    pool_.wait_idle();
}

void ChannelList::shutdown() {
    abort_ = true;
    pool_.shutdown();
}

void ChannelList::delete_downloaded_files(Reporter& reporter) {
    std::vector<std::filesystem::path> files;
    {
        std::lock_guard lock(mutex_);
        files.swap(downloaded_);
    }
    for (const auto& file : files) {
        std::error_code error;
        std::filesystem::remove(file, error);
        if (error) {
            reporter.report_text(TB_TRANSLATE_NOOP("Strings", "Cannot delete %1."),
                                 {file.string()});
        }
    }
}

std::vector<Channel> ChannelList::channels() const {
    std::lock_guard lock(mutex_);
    std::vector<Channel> copy = channels_;
    for (Channel& channel : copy) {
        channel.running = running_.count(channel.id) != 0;
    }
    return copy;
}

std::optional<Channel> ChannelList::channel(RowId id) const {
    std::lock_guard lock(mutex_);
    const Channel* found = find(id);
    if (found == nullptr) {
        return std::nullopt;
    }
    Channel copy = *found;
    copy.running = running_.count(id) != 0;
    return copy;
}

std::optional<FeedItem> ChannelList::item(RowId channel_id, std::int64_t number) const {
    std::lock_guard lock(mutex_);
    const Channel* channel = find(channel_id);
    if (channel == nullptr) {
        return std::nullopt;
    }
    for (const FeedItem& item : channel->items) {
        if (item.number == number) {
            return item;
        }
    }
    return std::nullopt;
}

std::vector<FeedLinkRow> ChannelList::listed_links(RowId channel_id) const {
    std::lock_guard lock(mutex_);
    const Channel* channel = find(channel_id);
    std::vector<FeedLinkRow> rows;
    if (channel == nullptr || channel->state != UpdateState::Updated) {
        return rows;
    }
    std::copy_if(channel->links.begin(), channel->links.end(), std::back_inserter(rows),
                 [](const FeedLinkRow& row) { return !row.title.empty(); });
    return rows;
}

std::string ChannelList::location(RowId channel_id) const {
    std::lock_guard lock(mutex_);
    const Channel* channel = find(channel_id);
    return channel == nullptr ? std::string() : channel->location;
}

std::vector<std::filesystem::path> ChannelList::downloaded_files() const {
    std::lock_guard lock(mutex_);
    return downloaded_;
}

bool ChannelList::empty() const {
    std::lock_guard lock(mutex_);
    return channels_.empty();
}

}  // namespace tb
