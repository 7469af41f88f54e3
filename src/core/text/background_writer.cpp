#include "text/background_writer.h"

#include <exception>

namespace tb {

namespace {

// Enough to keep the writing thread busy without holding much of the file in memory.
constexpr size_t kMostQueued = 4;

}  // namespace

BackgroundWriter::BackgroundWriter(TextFileWriter& writer)
    : writer_(writer), thread_([this] { run(); }) {}

BackgroundWriter::~BackgroundWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void BackgroundWriter::put(std::string& chunk) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queued_.size() < kMostQueued; });
    const size_t capacity = chunk.capacity();
    queued_.push_back(std::move(chunk));
    chunk.clear();
    if (!spare_.empty()) {
        chunk = std::move(spare_.back());
        spare_.pop_back();
    } else {
        chunk.reserve(capacity);
    }
    lock.unlock();
    changed_.notify_all();
}

bool BackgroundWriter::finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queued_.empty() && !writing_; });
    return !failed_;
}

void BackgroundWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queued_.empty() || stopping_; });
        if (queued_.empty()) {
            return;
        }
        std::string chunk = std::move(queued_.front());
        queued_.pop_front();
        writing_ = true;
        lock.unlock();
        changed_.notify_all();
        bool written = true;
        try {
            writer_.write(chunk);
        } catch (const std::exception&) {
            written = false;
        }
        chunk.clear();
        lock.lock();
        writing_ = false;
        failed_ = failed_ || !written;
        spare_.push_back(std::move(chunk));
        changed_.notify_all();
    }
}

}  // namespace tb
