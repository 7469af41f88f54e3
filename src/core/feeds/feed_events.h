#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/reporter.h"
#include "storage/ids.h"

namespace tb {

// Update state of a feed; a feed just loaded is in none of the three.
enum class UpdateState : int { NotUpdated = -1, Updating = 0, Updated = 1, DownloadFailed = 2 };

// What a feed worker tells the owner's thread. Workers never touch the database or the UI: the
// owner drains these on its own thread.
struct FeedEvent {
    enum class Kind {
        StateChanged,  // `state` is the feed's new update state; `message` why it failed
        Message,       // `message` is a report for the user (a parser message, ...)
        ItemsChanged,  // the feed has new items: refill the link list if it shows this feed
    };
    Kind kind = Kind::StateChanged;
    RowId channel_id = 0;
    UpdateState state = UpdateState::NotUpdated;
    Message message;
};

class FeedEventQueue {
public:
    // Called on the pushing thread after every push; it should only wake the owner's thread.
    void set_notifier(std::function<void()> notifier);
    void push(FeedEvent event);
    std::vector<FeedEvent> drain();

private:
    std::mutex mutex_;
    std::deque<FeedEvent> events_;
    std::function<void()> notifier_;
};

// A reporter for a worker: its reports become Message events of one feed.
class QueueReporter : public Reporter {
public:
    QueueReporter(FeedEventQueue& queue, RowId channel_id)
        : queue_(queue), channel_id_(channel_id) {}
    using Reporter::report;
    void report(const Message& message) override;

private:
    FeedEventQueue& queue_;
    RowId channel_id_;
};

}  // namespace tb
