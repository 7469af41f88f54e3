#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tb {

// The text reported for an exception that is not a std::exception.
inline constexpr const char* kUnknownException = "unknown exception";

// Runs jobs on at most a fixed number of threads, in the order they were posted. A thread starts
// only when a job finds every running one busy, and stays until shutdown. An exception that
// escapes a job goes to its failure handler with the exception's text, and the thread goes on
// with the next job.
class WorkerPool {
public:
    using Job = std::function<void()>;
    // Called on the worker thread; it must not throw.
    using FailureHandler = std::function<void(const std::string& what)>;

    explicit WorkerPool(std::size_t max_threads, FailureHandler on_failure = {});
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Queues the job; false after shutdown, or when no thread could be started for it.
    bool post(Job job);
    // Blocks until every job posted so far has finished.
    void wait_idle();
    // Lets the queued jobs run, then joins every thread; later posts are refused.
    void shutdown();

    std::size_t max_threads() const { return max_threads_; }
    std::size_t thread_count() const;

private:
    void run();
    void run_job(const Job& job);

    const std::size_t max_threads_;
    FailureHandler on_failure_;
    mutable std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable idle_;
    std::deque<Job> queue_;
    std::vector<std::thread> threads_;
    std::size_t waiting_ = 0;  // threads waiting for a job
    std::size_t active_ = 0;   // jobs running
    bool stopping_ = false;
};

}  // namespace tb
