#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "feeds/feed_downloader.h"
#include "feeds/feed_events.h"
#include "feeds/feed_item.h"
#include "feeds/feed_parser.h"
#include "feeds/opml.h"
#include "platform/reporter.h"
#include "platform/worker_pool.h"
#include "storage/database.h"
#include "storage/ids.h"

namespace tb {

// Feed downloads that run at one time; more feeds wait for a free worker.
constexpr std::size_t kFeedWorkers = 4;

// A feed item shown as a link row: id = item number, comment = description.
struct FeedLinkRow {
    RowId id = 0;
    std::string title;
    std::string url;
    std::string comment;
    RowId parent = kNewsfeedsFolder;  // every feed link row sits in "Newsfeeds"
};

// One subscription with what its last good update brought.
struct Channel {
    RowId id = 0;
    std::string title;
    std::string location;
    std::vector<FeedItem> items;
    std::vector<FeedLinkRow> links;
    UpdateState state = UpdateState::NotUpdated;
    bool running = false;
    // Why the last update failed, for the tooltip and the status bar; empty after a good one.
    Message failure;
    // Of the response that brought `items`; empty while this process holds none.
    Validators validators;
    // A server's Retry-After: scheduled updates skip the feed until then.
    std::chrono::system_clock::time_point retry_not_before{};
};

// Who asked for an update: the timer's updates honour a server's Retry-After.
enum class UpdateTrigger { User, Timer };

// The subscriptions of tb_channels and their updates, run on a bounded pool of worker threads.
// Database work and every call here except the worker bodies happen on the owner's thread;
// workers only write their own record (looked up by id under the lock) and report through
// events(). An exception that escapes an update fails that feed with the exception's text.
//
// At exit: shutdown(), then delete_downloaded_files(), then terminate the XML runtime.
class ChannelList {
public:
    ChannelList(Database& db, const XercesRuntime& xml, std::filesystem::path feeds_folder,
                DownloadOptions options = {}, std::size_t workers = kFeedWorkers);
    ~ChannelList();
    ChannelList(const ChannelList&) = delete;
    ChannelList& operator=(const ChannelList&) = delete;

    // Replaces the list by the rows of tb_channels; items are discarded. Workers still running
    // write their results into the new record of their id, if it is still there.
    bool load_channels();
    // After another program may have written tb_channels: reloads only when the rows differ
    // from the list, and keeps the items and state of every feed whose row is unchanged.
    // Returns true when the list changed.
    bool reload_changed_channels();
    // Refuses (message 211) an empty title or location; then inserts, reloads and updates all.
    bool add_channel(const std::string& title, const std::string& location);
    bool delete_channel(RowId id);
    // Subscribes to every feed whose location is not subscribed yet, then reloads once; no
    // update starts. Returns how many were added and how many skipped as already there.
    struct ImportCount {
        int added = 0;
        int skipped = 0;
    };
    ImportCount import_channels(const std::vector<OpmlFeed>& feeds);
    std::vector<OpmlFeed> subscriptions() const;
    // The Newsfeeds Editor's deletion: every row, then one reload; no update starts.
    bool remove_channels(const std::vector<RowId>& ids);

    // Both do nothing when the XML library is unavailable or after shutdown. A feed that is
    // already being updated or waiting for a worker is skipped.
    void update_all(UpdateTrigger trigger = UpdateTrigger::User);
    bool update_one(RowId id, UpdateTrigger trigger = UpdateTrigger::User);

    // Waits until every update started so far has finished.
    void wait_for_workers();
    // Aborts pending downloads and joins every worker; no update starts afterwards.
    void shutdown();
    // Deletes the files this process downloaded (never other files of the folder); reports
    // "Cannot delete %s." for each that stays.
    void delete_downloaded_files(Reporter& reporter);

    std::vector<Channel> channels() const;
    std::optional<Channel> channel(RowId id) const;
    std::optional<FeedItem> item(RowId channel_id, std::int64_t number) const;
    // The rows the link list shows for a feed: only once it is Updated, and without untitled items.
    std::vector<FeedLinkRow> listed_links(RowId channel_id) const;
    // The texts the copy commands put on the clipboard; empty when there is no such feed or item.
    std::string location(RowId channel_id) const;
    std::vector<std::filesystem::path> downloaded_files() const;
    bool empty() const;

    FeedEventQueue& events() { return events_; }
    const std::filesystem::path& feeds_folder() const { return folder_; }

private:
    std::optional<std::vector<Channel>> read_rows();

    Channel* find(RowId id);
    const Channel* find(RowId id) const;
    struct Request {
        RowId id = 0;
        std::string title;
        std::string location;
        Validators validators;
    };

    void run_update(const Request& request);
    void run_guarded(const Request& request);
    void finish_update(const Request& request, const Download& download);
    void keep_items(RowId id);
    void fail(RowId id, Message reason, long status = 0, std::int64_t retry_after_seconds = 0);
    void start_worker(Request request);

    Database& db_;
    const XercesRuntime& xml_;
    std::filesystem::path folder_;
    DownloadOptions options_;
    FeedEventQueue events_;

    mutable std::mutex mutex_;  // guards channels_, running_ and downloaded_
    std::vector<Channel> channels_;
    std::set<RowId> running_;
    std::vector<std::filesystem::path> downloaded_;

    std::atomic<bool> abort_{false};
    // Last: its threads are joined before the members they use go.
    WorkerPool pool_;
};

}  // namespace tb
