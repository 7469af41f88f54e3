#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "text/text_file_writer.h"

namespace tb {

// Passes chunks of text to a TextFileWriter on a thread of its own, so that a long file is
// written and checked while its next chunk is being made. Chunks are written in the order given.
class BackgroundWriter {
public:
    explicit BackgroundWriter(TextFileWriter& writer);
    // Writes what is still queued, then stops the thread.
    ~BackgroundWriter();

    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Queues the text of chunk and leaves chunk empty, with the capacity of a chunk already
    // written where there is one. Waits while a few chunks are still waiting.
    void put(std::string& chunk);

    // Waits until every queued chunk is written; false when the thread could not write one.
    bool finish();

private:
    void run();

    TextFileWriter& writer_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> queued_;
    std::vector<std::string> spare_;
    bool writing_ = false;
    bool stopping_ = false;
    bool failed_ = false;
    std::thread thread_;
};

}  // namespace tb
