#include "feeds/feed_events.h"

#include <utility>

namespace tb {

void FeedEventQueue::set_notifier(std::function<void()> notifier) {
    std::lock_guard lock(mutex_);
    notifier_ = std::move(notifier);
}

void FeedEventQueue::push(FeedEvent event) {
    std::function<void()> notifier;
    {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
        notifier = notifier_;
    }
    if (notifier) {
        notifier();
    }
}

std::vector<FeedEvent> FeedEventQueue::drain() {
    std::lock_guard lock(mutex_);
    std::vector<FeedEvent> events(std::make_move_iterator(events_.begin()),
                                  std::make_move_iterator(events_.end()));
    events_.clear();
    return events;
}

void QueueReporter::report(const Message& message) {
    FeedEvent event;
    event.kind = FeedEvent::Kind::Message;
    event.channel_id = channel_id_;
    event.message = message;
    queue_.push(std::move(event));
}

}  // namespace tb
